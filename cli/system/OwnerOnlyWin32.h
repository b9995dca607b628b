// The security of a file only its creator may open, for the files that hold
// PINs (a transcript, a record): the Windows counterpart of mode 0600. One
// access-allowed entry for the user this program runs as, and nothing
// inherited from the folder. Windows only.
#pragma once

#include <string>
#include <vector>
#include <windows.h>

class OwnerOnlySecurity {
public:
    // False with the system's reason when the user or the list cannot be made.
    bool Make(std::string& reason);

    // For CreateFile; valid while this object lives.
    SECURITY_ATTRIBUTES* Attributes() { return &m_attributes; }

private:
    std::vector<unsigned char> m_user;  // TOKEN_USER, with the user's SID
    std::vector<unsigned char> m_acl;
    SECURITY_DESCRIPTOR m_descriptor = {};
    SECURITY_ATTRIBUTES m_attributes = {};
};
