// Steps that send input to the plug-in's windows and look at what they show.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

void Browser::Input(const Step& step) {
  if (!pluginWindow_) return Fail(step, "no plug-in window");
  Modifiers modifiers;
  std::string key = step.words.empty() ? std::string() : step.words[0];
  for (const std::string& word : step.words) {
    if (word == "ctrl") modifiers.ctrl = true;
    if (word == "shift") modifiers.shift = true;
    if (word == "alt") modifiers.alt = true;
  }
  // Keys are written "ctrl+pagedown"; the last part is the key.
  if (step.verb == "key") {
    size_t plus;
    while ((plus = key.find('+')) != std::string::npos && plus + 1 < key.size()) {
      const std::string modifier = key.substr(0, plus);
      modifiers.ctrl |= modifier == "ctrl";
      modifiers.shift |= modifier == "shift";
      modifiers.alt |= modifier == "alt";
      key = key.substr(plus + 1);
    }
    if (!SendKey(pluginWindow_, key, modifiers)) return Fail(step, "unknown key " + key);
    return Observe("key", {{"key", Quoted(step.words.empty() ? "" : step.words[0])}});
  }
  POINT point = {std::atoi(step.Get("x", "10").c_str()), std::atoi(step.Get("y", "10").c_str())};
  // With class=, the point is in that window's client area (a pop-up of the plug-in's, say).
  HWND within = step.Has("class") ? Target(step) : pluginWindow_;
  if (!within) return Fail(step, "no such window");
  if (step.verb == "mouse") {
    if (step.HasWord("pointer")) {
      POINT screen = point;
      ClientToScreen(within, &screen);
      SetCursorPos(screen.x, screen.y);
    }
    SendMouse(within, point, step.Get("button", "left"), step.Get("action", "click"), modifiers);
  } else {
    SendWheel(within, point, std::atoi(step.Get("notches", "-1").c_str()), modifiers);
  }
  Observe(step.verb, {{"x", Number(point.x)}, {"y", Number(point.y)}});
}

HWND Browser::Target(const Step& step) const {
  if (step.HasWord("window")) return page_;
  if (step.Has("class")) {
    if (!pluginWindow_) return nullptr;
    const std::wstring name = FromUtf8(step.Get("class"));
    HWND found = FindDescendant(pluginWindow_, name);
    return found ? found : FindPopup(pluginWindow_, name);
  }
  return pluginWindow_;
}

void Browser::Capture(const Step& step) {
  HWND target = Target(step);
  const std::string file = step.Get("file");
  if (file.empty()) return Fail(step, "capture needs file=");
  int width = 0, height = 0;
  if (!CaptureClientArea(target, NativePath(file, folder_), &width, &height, step.HasWord("screen"))) {
    return Fail(step, "no such window, or the capture failed");
  }
  Observe("capture", {{"file", Quoted(file)}, {"width", Number(width)}, {"height", Number(height)}});
}

void Browser::Redraw(const Step& step) {
  HWND target = Target(step);
  if (!target) return Fail(step, "no such window");
  RedrawAll(target);
  Observe("redraw", {});
}

void Browser::Focus(const Step& step) {
  HWND target = Target(step);
  if (!target) return Fail(step, "no such window");
  SetFocus(target);
  Pump(0);
  Observe("focus", {{"focused", GetFocus() == target ? "true" : "false"}});
}

void Browser::Inspect(const Step& step) {
  HWND target = Target(step);
  if (!target) return Observe("inspect", {{"exists", "false"}});
  Pump(0);
  WindowFacts facts;
  InspectWindow(target, &facts);
  auto flag = [](bool value) { return std::string(value ? "true" : "false"); };
  Observe("inspect", {{"exists", "true"},
                      {"text", Quoted(ToUtf8(facts.text))},
                      {"visible", flag(facts.visible)},
                      {"width", Number(facts.width)},
                      {"height", Number(facts.height)},
                      {"hbar", flag(facts.horizontal.shown)},
                      {"hpos", Number(facts.horizontal.position)},
                      {"hmax", Number(facts.horizontal.maximum)},
                      {"hpage", Number(facts.horizontal.page)},
                      {"vbar", flag(facts.vertical.shown)},
                      {"vpos", Number(facts.vertical.position)},
                      {"vmax", Number(facts.vertical.maximum)},
                      {"vpage", Number(facts.vertical.page)}});
}

void Browser::ComparePictures(const Step& step) {
  RgbImage picture, reference;
  if (!ReadBitmapFile(NativePath(step.Get("file"), folder_), &picture))
    return Fail(step, "cannot read file=");
  if (!ReadBitmapFile(NativePath(step.Get("reference"), folder_), &reference)) {
    return Fail(step, "cannot read reference=");
  }
  const int x = std::atoi(step.Get("x", "0").c_str()), y = std::atoi(step.Get("y", "0").c_str());
  Comparison result;
  if (!CompareAt(picture, reference, x, y, &result)) {
    return Fail(step, "the reference (" + Number(reference.width) + " x " + Number(reference.height) +
                          ") does not fit into the picture (" + Number(picture.width) + " x " +
                          Number(picture.height) + ") there");
  }
  const std::string first = result.differing ? Number(result.firstX) + "," + Number(result.firstY) : "none";
  Observe("compare", {{"width", Number(reference.width)},
                      {"height", Number(reference.height)},
                      {"differing", Number(result.differing)},
                      {"first", Quoted(first)}});
}

void Browser::Pixel(const Step& step) {
  RgbImage picture;
  if (!ReadBitmapFile(NativePath(step.Get("file"), folder_), &picture))
    return Fail(step, "cannot read file=");
  const int x = std::atoi(step.Get("x", "0").c_str()), y = std::atoi(step.Get("y", "0").c_str());
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return Fail(step, "the point is outside");
  Observe("pixel", {{"x", Number(x)}, {"y", Number(y)}, {"colour", Quoted(ColourText(picture.At(x, y)))}});
}
