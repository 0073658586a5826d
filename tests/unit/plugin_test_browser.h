// A browser for the plug-in's unit tests: nphost's own runtime with its
// services in a table, the library initialised over it, and one page.
#pragma once

#include <gtest/gtest.h>

#include "plugin/entry_points.h"
#include "plugin/npapi.h"
#include "plugin/plugin_callbacks.h"
#include "tools/nphost/host_runtime.h"

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetHost();
    OpenPage();
    FillBrowserTable(&browser_, sizeof browser_, 27);
    ASSERT_EQ(InitializePlugin(&browser_), NPERR_NO_ERROR);
    plugins_.size = sizeof plugins_;
    ASSERT_EQ(FillEntryPoints(&plugins_), NPERR_NO_ERROR);
  }
  void TearDown() override {
    if (npp_.pdata) NPP_Destroy(&npp_, nullptr);
    ShutdownPlugin();
    ResetHost();
  }

  // NPP_New with name/value pairs.
  NPError Embed(std::vector<std::pair<std::string, std::string>> attributes, uint16_t mode = NP_EMBED) {
    std::vector<char*> names;
    std::vector<char*> values;
    for (auto& [name, value] : attributes) {
      names.push_back(name.data());
      values.push_back(value.data());
    }
    char type[] = "image/tiff";
    return NPP_New(type, &npp_, mode, static_cast<int16_t>(names.size()), names.data(), values.data(),
                   nullptr);
  }

  void DefineFunction(const std::string& name, FunctionAnswer answer = FunctionAnswer::kSucceed) {
    Host().functions[name].answer = answer;
  }

  std::vector<std::string> CalledFunctions() const {
    std::vector<std::string> names;
    for (const PageCall& call : Host().calls) names.push_back(call.function);
    return names;
  }

  NPNetscapeFuncs browser_{};
  NPPluginFuncs plugins_{};
  NPP_t npp_{};
};
