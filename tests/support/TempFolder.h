// A folder of a test's own under /tmp, made when the object is and removed,
// with everything in it, when the object goes. As the first member of a
// class, it is also removed when that class's constructor throws.
#pragma once

#include <string>

class TempFolder {
public:
    // Makes /tmp/PREFIX.XXXXXX, readable by its owner only. Throws
    // std::runtime_error when it cannot.
    explicit TempFolder(const std::string& prefix);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // PATH/name.
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
