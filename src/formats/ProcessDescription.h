#pragma once
// A process's one-line description, kept in a side file beside it ("thd-1khz.process" and
// "thd-1khz.description"). The process file is a fixed binary layout that other readers of the
// format must still accept byte for byte, and it has no field for free text; the side file
// travels with it and is simply absent for processes that have none.

#include <string>

/** The side file holding the description of `processPath`: its extension replaced (or, without
 *  one, appended) by ".description". */
std::string DescriptionPathOf(const std::string& processPath);

/** The first line of the side file without surrounding blanks, at most `kMaxDescription` bytes
 *  (never cutting a UTF-8 character); empty when the file is missing or unreadable, or
 *  `processPath` is empty. */
std::string ReadProcessDescription(const std::string& processPath);

inline constexpr size_t kMaxDescription = 200;
