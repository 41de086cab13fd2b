// The token checker: reads two C, C++ or Java texts into tokens and says
// whether they hold the same program, so that a formatted text can be
// compared with its source before it replaces it.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "status.h"

namespace folios {

// The lexical rules a text is read with. C and C++ share one mode: line
// splices, preprocessor lines, digraphs, raw strings. Java has text blocks
// and no splices or directives.
enum class SourceLanguage { kCFamily, kJava };

// The language of a file by its extension: "java" (any case) is Java; every
// other file, extensionless ones included, is C or C++.
SourceLanguage LanguageForPath(std::string_view path);

struct TokenCheckOptions {
  SourceLanguage language = SourceLanguage::kCFamily;
  // The formatted text had its comments removed on purpose: only the code
  // tokens are compared, and comments on either side are ignored.
  bool comments_removed = false;
};

struct TokenCheckResult {
  bool same = true;  // the two texts hold the same program
  long line = 0;     // when not same: the 1-based line of the original where the
                     // first difference starts; 0 when same
};

// Compares `original` with `formatted`, reading both to their end (or to the
// first difference).
//
// Same means:
//  - the code tokens (identifiers, numbers, punctuators by longest match,
//    literals) are the same sequence, each byte for byte; a string, character
//    or raw string literal and a Java text block are compared with every byte
//    they hold, white space included; in C and C++ a backslash-newline is
//    removed before tokens are read, except inside a raw string;
//  - in C and C++, every preprocessor line starts and ends between the same
//    tokens, so code can neither join nor leave a directive;
//  - unless `comments_removed`, the comments form the same sequence, each
//    compared on its printable characters: white space and control
//    characters (bytes 0-32 and 127) are left out, since re-indenting a
//    comment's lines, expanding its tabs and cutting trailing blanks does not
//    change it. Comments are matched in their own order, apart from the code,
//    because the formatter may move a comment before or after the code it
//    shared a line with.
//
// Streams: memory stays bounded by the longest token plus the distance over
// which comments and code are displaced against each other; that distance is
// capped (65536 tokens), and beyond the cap the texts count as different.
// Time is linear. Both streams are read through their stream buffers; the
// caller checks them for read errors.
TokenCheckResult CheckTokens(std::istream& original, std::istream& formatted,
                             const TokenCheckOptions& options);

// The same over two texts in memory.
TokenCheckResult CheckTokenTexts(std::string_view original, std::string_view formatted,
                                 const TokenCheckOptions& options);

// The same over two files. A file that cannot be opened gives an error status
// and leaves `result` untouched.
Status CheckTokenFiles(const std::string& original_path, const std::string& formatted_path,
                       const TokenCheckOptions& options, TokenCheckResult* result);

}  // namespace folios
