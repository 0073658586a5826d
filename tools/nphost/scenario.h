// nphost's scenario files: plain text, one step per line. A step is a verb
// followed by words and name=value pairs; a value in double quotes may hold
// spaces, and \" and \\ inside it stand for a quote and a backslash.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

struct Step {
  int line = 0;
  std::string verb;
  std::string text;                                         // everything after the verb, as written
  std::vector<std::string> words;                           // tokens without "="
  std::vector<std::pair<std::string, std::string>> values;  // name=value tokens, in order

  // The value of `name`, or `fallback` when the step has none.
  std::string Get(const std::string& name, const std::string& fallback = std::string()) const;
  bool Has(const std::string& name) const;
  bool HasWord(const std::string& word) const;
};

// Blank lines and lines starting with "#" are skipped. Returns 0 and sets
// `error` (with the line number) on an unterminated quote.
int ParseScenario(const std::string& text, std::vector<Step>* steps, std::string* error);
// One line on its own, as a page function's reaction is written.
int ParseStep(const std::string& line, int lineNumber, Step* step, std::string* error);

// Replaces each ${NAME} in `text` by its definition; 0 with the name in
// `error` when one is not defined.
int SubstituteDefinitions(const std::map<std::string, std::string>& definitions, std::string* text,
                          std::string* error);
// The steps written on one line for a reaction, separated by ";" outside
// quotes.
std::vector<std::string> SplitSteps(const std::string& text);
