#pragma once
// A minimal JSON writer for the --json output of the command-line tool.
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

class TJsonWriter {
public:
  explicit TJsonWriter(std::ostream& out) : FOut(out) {}

  TJsonWriter& BeginObject() { Separate(); FOut << '{'; FFirst.push_back(true); return *this; }
  TJsonWriter& EndObject() { FOut << '}'; FFirst.pop_back(); return *this; }
  TJsonWriter& BeginArray() { Separate(); FOut << '['; FFirst.push_back(true); return *this; }
  TJsonWriter& EndArray() { FOut << ']'; FFirst.pop_back(); return *this; }
  TJsonWriter& Key(std::string_view key) { Separate(); WriteString(key); FOut << ':'; FAfterKey = true; return *this; }
  TJsonWriter& Value(std::string_view text) { Separate(); WriteString(text); return *this; }
  TJsonWriter& Value(std::u16string_view text);
  TJsonWriter& Value(const char* text) { return Value(std::string_view(text)); }
  TJsonWriter& Value(int64_t number) { Separate(); FOut << number; return *this; }
  TJsonWriter& Value(int number) { return Value(int64_t(number)); }
  TJsonWriter& Value(bool flag) { Separate(); FOut << (flag ? "true" : "false"); return *this; }
  TJsonWriter& Null() { Separate(); FOut << "null"; return *this; }
  template <typename T> TJsonWriter& Field(std::string_view key, const T& value) { Key(key); return Value(value); }

private:
  void Separate();
  void WriteString(std::string_view utf8);

  std::ostream& FOut;
  std::vector<bool> FFirst;
  bool FAfterKey = false;
};
