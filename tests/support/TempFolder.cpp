#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

TempFolder::TempFolder(const std::string& prefix) : m_path("/tmp/" + prefix + ".XXXXXX")
{
    if (mkdtemp(m_path.data()) == nullptr)
        throw std::runtime_error("cannot make a folder " + m_path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}
