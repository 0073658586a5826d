// The page loader joins the benchmarks as soon as the engine has it.
#pragma once

#if __has_include("decode/page_loader.h")
#include "decode/page_loader.h"
#include "document/page_directory.h"
#define MERVANE_HAVE_PAGE_LOADER 1
#else
#define MERVANE_HAVE_PAGE_LOADER 0
#endif
