#include "host/plugin/CPluginExtensions.h"

#include "foundation/CInvalidArgError.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace nebo::common {

int32_t CPluginExtensions::getExtensionCount() { return static_cast<int32_t>(m_extensions.size()); }

const char16_t* CPluginExtensions::getExtension(int32_t index)
{
    if (index < 0 || index >= getExtensionCount())
        throw lumo::CInvalidArgError("the index must be below the number of extensions", "getExtension", this);
    return m_extensions[static_cast<std::size_t>(index)].c_str();
}

void CPluginExtensions::addExtension(const char16_t* extension)
{
    if (!extension)
        throw lumo::CInvalidArgError("the extension must not be null", "addExtension", this);
    m_extensions.emplace_back(extension);
}

void CPluginExtensions::addExtension(const lumo::String& extension) { m_extensions.push_back(extension->toUTF16()); }

void CPluginExtensions::write(lumo::IDataOutStream& out)
{
    out.writeInt(getExtensionCount());
    for (const std::u16string& extension : m_extensions)
        out.writeString(*lumo::String::fromUTF16(extension).get());
}

bool CPluginExtensions::read(lumo::IDataInStream& in)
{
    const int32_t count = in.readItemCount();
    // Grows with the strings that arrive, never with the claimed count.
    std::vector<std::u16string> extensions;
    for (int32_t i = 0; i < count; ++i)
        extensions.push_back(in.readString()->toUTF16());
    m_extensions.insert(m_extensions.end(), extensions.begin(), extensions.end());
    return true;
}

} // namespace nebo::common
