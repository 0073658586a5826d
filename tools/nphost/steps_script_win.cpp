// Steps that drive the plug-in's script object as a page's script would, and
// the user settings a scenario needs in the registry while it runs.
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

namespace {

const char* TypeName(NPVariantType type) {
  static const char* const kNames[] = {"void", "null", "bool", "int32", "double", "string", "object"};
  return type >= 0 && type <= NPVariantType_Object ? kNames[type] : "unknown";
}

double ReadDouble(const std::string& text) {
  if (text == "nan") return std::nan("");
  if (text == "inf") return HUGE_VAL;
  if (text == "-inf") return -HUGE_VAL;
  return std::strtod(text.c_str(), nullptr);
}

// One argument from a `type=value` pair; the strings stay in `texts`.
bool MakeArgument(const std::string& type, const std::string& value, NPObject* window,
                  std::vector<std::string>* texts, NPVariant* arg) {
  *arg = NPVariant{};
  if (type == "int") {
    arg->type = NPVariantType_Int32;
    arg->value.intValue = static_cast<int32_t>(std::strtoll(value.c_str(), nullptr, 0));
  } else if (type == "double") {
    arg->type = NPVariantType_Double;
    arg->value.doubleValue = ReadDouble(value);
  } else if (type == "bool") {
    arg->type = NPVariantType_Bool;
    arg->value.boolValue = value == "true" || value == "1";
  } else if (type == "string" || type == "long") {
    // `long=N` is a string of N digits "1", for the length limits.
    texts->push_back(type == "long" ? std::string(std::strtoul(value.c_str(), nullptr, 10), '1') : value);
    arg->type = NPVariantType_String;
    arg->value.stringValue.UTF8Characters = texts->back().c_str();
    arg->value.stringValue.UTF8Length = static_cast<uint32_t>(texts->back().size());
  } else if (type == "null") {
    arg->type = NPVariantType_Null;
  } else if (type == "void") {
    arg->type = NPVariantType_Void;
  } else if (type == "object" && window) {
    arg->type = NPVariantType_Object;
    arg->value.objectValue = window;
  } else {
    return false;
  }
  return true;
}

}  // namespace

void Browser::InvokeMethod(const Step& step) {
  if (step.words.empty()) return Fail(step, "invoke needs a method name");
  if (!scriptObject_) {
    NPObject* object = nullptr;
    if (!alive_ || !plugin_.getvalue ||
        plugin_.getvalue(&npp_, NPPVpluginScriptableNPObject, &object) != NPERR_NO_ERROR || !object) {
      return Fail(step, "the plug-in offers no script object");
    }
    scriptObject_ = object;
  }
  std::vector<std::string> texts;
  texts.reserve(step.values.size());
  std::vector<NPVariant> args(step.values.size());
  for (size_t i = 0; i < step.values.size(); ++i) {
    const auto& [type, value] = step.values[i];
    if (!MakeArgument(type, value, Host().windowObject, &texts, &args[i])) {
      return Fail(step, "unknown argument type " + type);
    }
  }
  NPVariant result{};
  result.type = NPVariantType_Void;
  const NPIdentifier method = HostIdentifier(step.words[0].c_str());
  const bool ok =
      browser_.invoke(&npp_, scriptObject_, method, args.data(), static_cast<uint32_t>(args.size()), &result);
  const HostValue value = ValueOf(result);
  browser_.releasevariantvalue(&result);
  Observe("invoke", {{"method", Quoted(step.words[0])},
                     {"ok", ok ? "true" : "false"},
                     {"type", Quoted(TypeName(value.type))},
                     {"value", ValueToJson(value)}});
}

void Browser::ReleaseScriptObject(const Step&) {
  const bool held = scriptObject_ != nullptr;
  DropScriptObject();
  Observe("release-object", {{"released", held ? "true" : "false"}});
}

void Browser::DropScriptObject() {
  if (scriptObject_ && browser_.releaseobject) browser_.releaseobject(scriptObject_);
  scriptObject_ = nullptr;
}
