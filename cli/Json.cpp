#include "cli/Json.h"

#include <cstdio>

std::string JsonString(const std::string& text)
{
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

JsonObject& JsonObject::AddRaw(const char* key, const std::string& json)
{
    members += (members.empty() ? "" : ",") + JsonString(key) + ":" + json;
    return *this;
}

JsonObject& JsonObject::Add(const char* key, const std::string& value)
{
    return AddRaw(key, JsonString(value));
}

JsonObject& JsonObject::Add(const char* key, const std::optional<std::string>& value)
{
    return AddRaw(key, value ? JsonString(*value) : "null");
}

JsonObject& JsonObject::Add(const char* key, long value)
{
    return AddRaw(key, std::to_string(value));
}

JsonObject& JsonObject::Add(const char* key, bool value)
{
    return AddRaw(key, value ? "true" : "false");
}

JsonObject& JsonObject::Add(const char* key, const JsonObject& value)
{
    return AddRaw(key, value.Text());
}

std::string JsonObject::Text() const
{
    return "{" + members + "}";
}

std::string JsonArray(const std::vector<JsonObject>& objects)
{
    std::string json = "[";
    for (const JsonObject& object : objects)
        json += (json.size() > 1 ? "," : "") + object.Text();
    return json + "]";
}
