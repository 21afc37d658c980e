// A small streaming JSON writer for the state files: objects, arrays, numbers,
// booleans and UTF-8 strings. Keys are given for members of objects and left
// null for elements of arrays.
#pragma once

#include <string>
#include <vector>

class JsonWriter {
  public:
    void BeginObject(const char* key = nullptr);
    void EndObject();
    void BeginArray(const char* key = nullptr);
    void EndArray();
    void Int(const char* key, long long value);
    void Number(const char* key, double value);
    void Bool(const char* key, bool value);
    void String(const char* key, const std::string& utf8);

    const std::string& Text() const { return m_out; }

  private:
    void Prefix(const char* key);
    void Quote(const std::string& utf8);
    std::string m_out;
    std::vector<bool> m_first;
};
