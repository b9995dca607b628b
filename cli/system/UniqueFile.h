// The owner of a C stream: closed once, with fclose. Null is none.
#pragma once

#include "UniqueResource.h"

#include <cstdio>

struct FileTraits {
    using Value = std::FILE*;
    static Value None() { return nullptr; }
    static bool IsValid(Value file) { return file != nullptr; }
    static void Close(Value file) { std::fclose(file); }
};
using UniqueFile = UniqueResource<FileTraits>;
