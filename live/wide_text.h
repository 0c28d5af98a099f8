// Text for Windows' Unicode calls: the programs' sentences are UTF-8, with
// paths as the ANSI calls return them, and the console and the window show
// them through the Unicode calls, so every letter of a player's file shows
// as typed whatever the code page.
#pragma once

#include <string>

namespace holsterkeys {

// The text in UTF-16, its bytes that are no UTF-8 read as Windows-1252.
std::wstring widened(const std::string& text);

}  // namespace holsterkeys
