// Just enough JSON for the machine-readable output of list and info: objects
// of strings, numbers, booleans and null, written in the order added.
#pragma once

#include <optional>
#include <string>
#include <vector>

class JsonObject {
public:
    JsonObject& Add(const char* key, const std::string& value);
    JsonObject& Add(const char* key, const char* value) { return Add(key, std::string(value)); }
    JsonObject& Add(const char* key, const std::optional<std::string>& value);  // null when none
    JsonObject& Add(const char* key, long value);
    JsonObject& Add(const char* key, bool value);
    JsonObject& Add(const char* key, const JsonObject& value);
    JsonObject& AddNull(const char* key) { return AddRaw(key, "null"); }
    std::string Text() const;

private:
    JsonObject& AddRaw(const char* key, const std::string& json);
    std::string members;
};

// "[a,b]" of the objects' texts.
std::string JsonArray(const std::vector<JsonObject>& objects);
// The JSON string of a UTF-8 text, quotes included.
std::string JsonString(const std::string& text);
