#include "SystemRandom.h"

#include <climits>
#include <string>
#include <windows.h>

#include <bcrypt.h>

// The system-preferred generator needs no algorithm handle to open or close.
bool SystemRandomBytes(unsigned char* buffer, std::size_t size, std::string& reason)
{
    while (size > 0) {
        const ULONG part = size > ULONG_MAX ? ULONG_MAX : static_cast<ULONG>(size);
        const NTSTATUS status = BCryptGenRandom(nullptr, buffer, part, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
        if (!BCRYPT_SUCCESS(status)) {
            reason = "BCryptGenRandom failed (status " + std::to_string(static_cast<unsigned long>(status)) + ")";
            return false;
        }
        buffer += part;
        size -= part;
    }
    return true;
}
