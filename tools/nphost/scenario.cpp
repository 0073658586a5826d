#include "tools/nphost/scenario.h"

#include <sstream>

namespace {

// Splits at blanks outside quotes; quotes are removed, and `quoted` tells
// whether any part of the token was quoted (so "a=b" in quotes stays a word).
int Tokenize(const std::string& text, std::vector<std::pair<std::string, bool>>* tokens) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size()) break;
    std::string token;
    bool quoted = false;
    size_t equals = std::string::npos;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') {
      if (text[i] == '"') {
        quoted = true;
        ++i;
        while (i < text.size() && text[i] != '"') {
          if (text[i] == '\\' && i + 1 < text.size()) ++i;
          token += text[i++];
        }
        if (i >= text.size()) return 0;
        ++i;
      } else {
        if (text[i] == '=' && equals == std::string::npos && !quoted) equals = token.size();
        token += text[i++];
      }
    }
    // Mark name=value tokens by where the first unquoted "=" stood.
    tokens->emplace_back(
        equals == std::string::npos ? token : token.substr(0, equals) + '\x01' + token.substr(equals + 1),
        quoted);
  }
  return 1;
}

}  // namespace

std::string Step::Get(const std::string& name, const std::string& fallback) const {
  for (const auto& [key, value] : values) {
    if (key == name) return value;
  }
  return fallback;
}

bool Step::Has(const std::string& name) const {
  for (const auto& [key, value] : values) {
    if (key == name) return true;
  }
  return false;
}

bool Step::HasWord(const std::string& word) const {
  for (const std::string& w : words) {
    if (w == word) return true;
  }
  return false;
}

int ParseStep(const std::string& line, int lineNumber, Step* step, std::string* error) {
  *step = Step();
  step->line = lineNumber;
  size_t start = line.find_first_not_of(" \t");
  size_t verbEnd = line.find_first_of(" \t", start);
  step->verb = line.substr(start, verbEnd == std::string::npos ? std::string::npos : verbEnd - start);
  if (verbEnd != std::string::npos) {
    size_t textStart = line.find_first_not_of(" \t", verbEnd);
    if (textStart != std::string::npos) step->text = line.substr(textStart);
  }
  std::vector<std::pair<std::string, bool>> tokens;
  if (!Tokenize(step->text, &tokens)) {
    *error = "line " + std::to_string(lineNumber) + ": unterminated quote";
    return 0;
  }
  for (const auto& [token, quoted] : tokens) {
    size_t mark = token.find('\x01');
    if (mark == std::string::npos) {
      step->words.push_back(token);
    } else {
      step->values.emplace_back(token.substr(0, mark), token.substr(mark + 1));
    }
  }
  return 1;
}

int ParseScenario(const std::string& text, std::vector<Step>* steps, std::string* error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    Step step;
    if (!ParseStep(line, number, &step, error)) return 0;
    steps->push_back(std::move(step));
  }
  return 1;
}

int SubstituteDefinitions(const std::map<std::string, std::string>& definitions, std::string* text,
                          std::string* error) {
  std::string out;
  size_t i = 0;
  while (i < text->size()) {
    const size_t open = text->find("${", i);
    if (open == std::string::npos) break;
    const size_t close = text->find('}', open);
    if (close == std::string::npos) break;
    out.append(*text, i, open - i);
    const std::string name = text->substr(open + 2, close - open - 2);
    auto found = definitions.find(name);
    if (found == definitions.end())
      return *error = "${" + name + "} is not defined (--define " + name + "=...)", 0;
    out += found->second;
    i = close + 1;
  }
  out.append(*text, i, std::string::npos);
  *text = out;
  return 1;
}

std::vector<std::string> SplitSteps(const std::string& text) {
  std::vector<std::string> parts(1);
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && quoted && i + 1 < text.size()) {
      parts.back() += c;
      parts.back() += text[++i];
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (c == ';' && !quoted) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}
