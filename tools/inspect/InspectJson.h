#pragma once

// The JSON pieces the shaders and model commands share.

#include <nlohmann/json.hpp>

#include <string>

#include <cstdint>
#include <vector>

// nlohmann::ordered_json (keys kept in the order they were set) holding its
// floating-point numbers as the engine's 32-bit floats, so that each prints as
// the shortest decimal that reads back to the same float ("0.1").
using InspectJson = nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                                         std::uint64_t, float>;

// A string of the bytes of `bytes`, each read as the character U+0000..U+00FF
// of the same number, so that a name of any bytes gives valid JSON.
InspectJson JsonText(const std::string& bytes);
// `value` as a number, written as an integer when it is one ("1", not "1.0");
// null for infinities and NaN, which JSON has no number for.
InspectJson JsonNumber(float value);
// An array written one element to a line ("[\n  a,\n  b\n]\n"), every
// element compact with the characters beyond ASCII escaped.
std::string JsonRows(const InspectJson& array);
