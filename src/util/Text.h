// Letter case for texts whose case does not matter (section names, file
// extensions, unit names). ASCII only, whatever the user's locale: a Turkish
// dotless i must not make "INI" differ from "ini".
#pragma once

#include <string>
#include <string_view>
#include <vector>

char LowerAscii(char c);
std::string LowerAscii(std::string text);
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// The lines of `content`, without their line ends ("\n" or "\r\n").
std::vector<std::string> TextLines(const std::string& content);

// The items of a list such as PATH ("a:b::c" with ':'), empty ones left out.
std::vector<std::string> ListItems(const std::string& list, char separator);
