#include "json_writer.h"

#include <cmath>
#include <cstdio>

void JsonWriter::Prefix(const char* key) {
    if (!m_first.empty()) {
        if (!m_first.back())
            m_out += ", ";
        m_first.back() = false;
    }
    if (key) {
        Quote(key);
        m_out += ": ";
    }
}

void JsonWriter::BeginObject(const char* key) {
    Prefix(key);
    m_out += '{';
    m_first.push_back(true);
}

void JsonWriter::EndObject() {
    m_out += '}';
    m_first.pop_back();
}

void JsonWriter::BeginArray(const char* key) {
    Prefix(key);
    m_out += '[';
    m_first.push_back(true);
}

void JsonWriter::EndArray() {
    m_out += ']';
    m_first.pop_back();
}

void JsonWriter::Int(const char* key, long long value) {
    Prefix(key);
    m_out += std::to_string(value);
}

void JsonWriter::Number(const char* key, double value) {
    Prefix(key);
    if (!std::isfinite(value)) {
        m_out += "null";
        return;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    m_out += text;
}

void JsonWriter::Bool(const char* key, bool value) {
    Prefix(key);
    m_out += value ? "true" : "false";
}

void JsonWriter::String(const char* key, const std::string& utf8) {
    Prefix(key);
    Quote(utf8);
}

void JsonWriter::Quote(const std::string& utf8) {
    m_out += '"';
    for (const unsigned char c : utf8) {
        switch (c) {
        case '"':
            m_out += "\\\"";
            break;
        case '\\':
            m_out += "\\\\";
            break;
        case '\n':
            m_out += "\\n";
            break;
        case '\r':
            m_out += "\\r";
            break;
        case '\t':
            m_out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                m_out += escape;
            } else {
                m_out += static_cast<char>(c);
            }
        }
    }
    m_out += '"';
}
