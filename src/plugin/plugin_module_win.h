// The library's own module: the instance that registers window classes and
// creates windows, and the module whose resources are loaded.
#pragma once

#include <windows.h>

HINSTANCE PluginModule();
