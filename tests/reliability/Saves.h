#pragma once
// One save of every kind a user's work is kept in, each able to write two different versions of
// its file, so a test can tell the old file from the new.

#include <functional>
#include <string>
#include <vector>

/** Saves version 0 or 1 of its file at `path`: "" when it worked, else the message. */
using CSave = std::function<std::string(const std::string& path, int version)>;

struct CSaveKind {
    const char* name;
    CSave save;
};

const std::vector<CSaveKind>& SaveKinds();
