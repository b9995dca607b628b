#include "OwnerOnlyWin32.h"

#include "serial/UniqueHandle.h"
#include "serial/Win32Errors.h"

namespace {

bool Failed(const char* operation, std::string& reason)
{
    const DWORD error = GetLastError();
    const std::string text = SystemText(error);
    reason = std::string(operation) + ": " + (text.empty() ? "error " + std::to_string(error) : text);
    return false;
}

}  // namespace

bool OwnerOnlySecurity::Make(std::string& reason)
{
    HANDLE rawToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &rawToken))
        return Failed("OpenProcessToken", reason);
    const UniqueHandle token(rawToken);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    m_user.assign(size, 0);
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, m_user.data(), size, &size))
        return Failed("GetTokenInformation", reason);
    const PSID user = reinterpret_cast<TOKEN_USER*>(m_user.data())->User.Sid;

    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + GetLengthSid(user);
    m_acl.assign(aclSize, 0);
    const PACL acl = reinterpret_cast<PACL>(m_acl.data());
    if (!InitializeAcl(acl, aclSize, ACL_REVISION) || !AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, user))
        return Failed("InitializeAcl", reason);
    if (!InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE) ||
        !SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED))
        return Failed("SetSecurityDescriptorDacl", reason);
    m_attributes.nLength = sizeof m_attributes;
    m_attributes.lpSecurityDescriptor = &m_descriptor;
    m_attributes.bInheritHandle = FALSE;
    return true;
}
