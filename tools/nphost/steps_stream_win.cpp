// Steps that hand documents to the plug-in as streams, announced or asked for.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "tools/nphost/test_browser_win.h"

void Browser::Stream(const Step& step) {
  if (!alive_) return Fail(step, "no instance");
  StreamOptions options;
  const std::string file = step.Get("file", source_);
  std::string error;
  if (!FetchUrl(file, folder_, &options.document, &error)) return Fail(step, error);
  options.url = step.Get("url", file);
  options.mimeType = step.Get("mime", options.document.mimeType);
  options.block = static_cast<size_t>(std::atoll(step.Get("block", "65536").c_str()));
  if (options.block == 0) options.block = 1;
  options.announce = step.Get("announce", "exact");
  options.deliver = std::atoll(step.Get("deliver", "-1").c_str());
  options.reason = step.Get("reason", "done");
  options.midway = step.Get("midway");
  DeliverStream(options, "stream");
}

void Browser::DeliverStream(const StreamOptions& options, const char* stepName) {
  const std::string& data = options.document.body;
  const size_t delivered =
      options.deliver < 0 ? data.size() : std::min(data.size(), static_cast<size_t>(options.deliver));
  uint32_t announced = static_cast<uint32_t>(delivered);
  if (options.announce == "unknown") {
    announced = 0;
  } else if (options.announce == "shorter") {
    announced = static_cast<uint32_t>(delivered - 1);
  } else if (options.announce == "longer") {
    announced = static_cast<uint32_t>(delivered + 1);
  } else if (options.announce != "exact") {
    announced = static_cast<uint32_t>(std::strtoull(options.announce.c_str(), nullptr, 10));
  }
  NPStream stream{};
  stream.url = options.url.c_str();
  stream.end = announced;
  stream.headers = options.document.headers.empty() ? nullptr : options.document.headers.c_str();
  std::string mime = options.mimeType;
  uint16_t stype = NP_NORMAL;
  const NPError opened = plugin_.newstream(&npp_, mime.data(), &stream, 0, &stype);
  Fields fields = {{"url", Quoted(options.url)},
                   {"announced", Number(announced)},
                   {"newstream", Number(opened)},
                   {"stype", Number(stype)}};
  if (opened == NPERR_NO_ERROR) {
    std::vector<int32_t> readies;
    auto noteReady = [&]() {
      const int32_t ready = plugin_.writeready(&npp_, &stream);
      if (std::find(readies.begin(), readies.end(), ready) == readies.end()) readies.push_back(ready);
      return ready;
    };
    size_t offset = 0, consumed = 0, refused = 0, blocks = 0;
    NPReason reason = options.reason == "network-error" ? NPRES_NETWORK_ERR
                      : options.reason == "user-break"  ? NPRES_USER_BREAK
                                                        : NPRES_DONE;
    bool aborted = false;
    while (offset < delivered && alive_) {
      noteReady();
      const size_t length = std::min(options.block, delivered - offset);
      // Each block is offered once; what the plug-in does not take is counted.
      const int32_t taken =
          plugin_.write(&npp_, &stream, static_cast<int32_t>(offset), static_cast<int32_t>(length),
                        const_cast<char*>(data.data() + offset));
      ++blocks;
      if (taken < 0) {
        aborted = true;
        reason = NPRES_NETWORK_ERR;
        break;
      }
      consumed += std::min(static_cast<size_t>(taken), length);
      refused += length - std::min(static_cast<size_t>(taken), length);
      offset += length;
      Pump(0);
      if (blocks == 1 && !options.midway.empty()) RunReaction(options.midway, 0);
    }
    noteReady();
    std::string readyList;
    for (int32_t r : readies) AppendItem(&readyList, std::to_string(r), ',');
    fields.emplace_back("writeready", Quoted(readyList));
    fields.emplace_back("blocks", Number(static_cast<long long>(blocks)));
    fields.emplace_back("consumed", Number(static_cast<long long>(consumed)));
    fields.emplace_back("refused", Number(static_cast<long long>(refused)));
    fields.emplace_back("aborted", aborted ? "true" : "false");
    fields.emplace_back("reason", Number(reason));
    fields.emplace_back("destroystream", Number(plugin_.destroystream(&npp_, &stream, reason)));
    Pump(0);
  }
  fields.emplace_back("result", Number(opened));
  Observe(stepName, fields);
}

NPError Browser::GetUrl(NPP npp, const char* url, const char* target) {
  if (npp != &npp_ || !url) return NPERR_INVALID_PARAM;
  StreamOptions options;
  std::string error;
  const bool toPlugin = target == nullptr;
  NPError result = NPERR_NO_ERROR;
  if (toPlugin && !FetchUrl(url, folder_, &options.document, &error)) result = NPERR_GENERIC_ERROR;
  urls_.emplace_back(url, target ? target : "null");
  Observe("geturl",
          {{"url", Quoted(url)}, {"target", target ? Quoted(target) : "null"}, {"result", Number(result)}});
  if (toPlugin && result == NPERR_NO_ERROR) {
    options.url = url;
    options.mimeType = options.document.mimeType;
    pending_.push_back(options);
  }
  return result;
}

void Browser::Idle(const Step& step) {
  Pump(std::atoi(step.Get("ms", "0").c_str()));
  while (!pending_.empty()) {
    StreamOptions options = pending_.front();
    pending_.pop_front();
    DeliverStream(options, "geturl-stream");
  }
}
