#include "platform/CDiskFile.h"

#include "foundation/CFileAccessDeniedError.h"
#include "foundation/sync/throwSystemError.h"

namespace lumo {

void CDiskFile::throwError(const char* action, int errorCode) const
{
    if (meansAccessDenied(errorCode))
        throw CFileAccessDeniedError(m_uri.get());
    throwSystemError(String("Error ") + String::fromLatin1(action) + String(" the file '") + m_uri->getDisplayText() +
                         String("' (%ERRORDESC%)."),
                     errorCode, m_uri.get());
}

} // namespace lumo
