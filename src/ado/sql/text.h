#pragma once
// Text operations of the dialect on UTF-8, with Jet's rules.
//
// Jet counts character positions in UTF-16 code units: a character outside the Basic Multilingual
// Plane counts two. LCase and UCase map every character on its own by ICU's one-to-one case mapping
// (full-width Latin, Greek, Cyrillic included): the same letter always maps the same way, so a text in
// capitals finds what its lower-case form finds (a context-dependent final sigma would break that).
// Text comparison (the operators, ORDER BY, DISTINCT, Like and InStr's text mode) ignores letter case
// by ICU's simple case folding and otherwise orders by code point.
#include <cstddef>
#include <string>
#include <string_view>

namespace ado::sql {

// LCase / UCase into out (out is overwritten; its capacity is reused). ASCII text takes a fast path.
void lowerCase(std::string_view text, std::string& out);
void upperCase(std::string_view text, std::string& out);
std::string lowerCase(std::string_view text);

// The case-folded text, for keys that must treat texts equal as compareText does.
void foldCase(std::string_view text, std::string& out);

// The part of text from 0-based UTF-16 position start, at most count code units long. A character
// that start or the end would cut in half is left out.
std::string_view substringUnits(std::string_view text, std::size_t start, std::size_t count);

// Length in UTF-16 code units.
std::size_t utf16Length(std::string_view text);

// -1, 0 or 1 as a and b compare with letter case ignored.
int compareText(std::string_view a, std::string_view b);

// InStr: the 1-based UTF-16 position of needle in haystack at or after position start (>= 1), 0 when
// not found. caseless selects the text comparison, else code units compare exactly.
std::size_t findText(std::string_view haystack, std::string_view needle, std::size_t start, bool caseless);

// Whether the text is valid UTF-8.
bool isValidUtf8(std::string_view text);

}  // namespace ado::sql
