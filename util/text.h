#pragma once

#include <string>
#include <string_view>

// Text conversion between code-page bytes and Unicode text.
//
// "Wide" text is Unicode; inside the domain it is held as UTF-8 in std::string. "Narrow" text is
// bytes in a Windows code page. The only place where the bytes must be those of the Windows ANSI
// code page is what reaches files that the Windows build reads as well (the settings file), so
// the ANSI code page is a process setting instead of the locale's.
namespace kv {

inline constexpr unsigned kCodePageAnsi = 0;        // the process's ANSI code page
inline constexpr unsigned kCodePageThreadAnsi = 3;  // same as kCodePageAnsi here: one setting per process
inline constexpr unsigned kCodePageGbk = 936;
inline constexpr unsigned kCodePageUtf16Le = 1200;
inline constexpr unsigned kCodePageUtf8 = 65001;

// The ANSI code page used for kCodePageAnsi and kCodePageThreadAnsi; 936 unless changed.
unsigned AnsiCodePage();
void SetAnsiCodePage(unsigned codePage);

// Bytes in `codePage` to UTF-8. Bytes that do not decode become U+FFFD.
std::string ToWide(std::string_view narrow, unsigned codePage);

// UTF-8 to bytes in `codePage`. Characters the code page cannot hold become '?', as Windows
// writes its default character; invalid UTF-8 input is treated the same way.
std::string ToNarrow(std::string_view wide, unsigned codePage);

// True when `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

// The length (1 to 4) of the well-formed UTF-8 character that starts at `at`; 0 when the bytes
// there are none.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t at);

// `text` as a terminal or a window may show it: every control character (C0, DEL and C1, the
// escape that starts a terminal's sequences among them) and every byte that is not part of a
// UTF-8 character becomes '?'. Whatever a server or a document says passes through it before a
// player reads it.
std::string Printable(std::string_view text);

// Number of Unicode characters (code points) in `utf8`.
std::size_t CountCodePoints(std::string_view utf8);

// Every character in upper case (Unicode's one-to-one mapping, as Windows compares file
// names); bytes that are not UTF-8 become U+FFFD.
std::string ToUpperCase(std::string_view utf8);

}  // namespace kv
