#include "crashhandler/posix/CModuleListBuilder.h"

#include <cstring>

namespace crashhandler {

void CModuleListBuilder::add(const SMapping& mapping) noexcept
{
    if (mapping.pathLength == 0 || mapping.path[0] != '/')
        return;
    if (isCurrentFile(mapping)) {
        m_end = mapping.end;
        m_executable = m_executable || mapping.executable;
        return;
    }
    endModule();
    m_pathLength = mapping.pathLength < sizeof m_path ? mapping.pathLength : sizeof m_path;
    std::memcpy(m_path, mapping.path, m_pathLength);
    m_start = mapping.start;
    m_end = mapping.end;
    m_executable = mapping.executable;
}

void CModuleListBuilder::finish() noexcept
{
    endModule();
    m_pathLength = 0;
}

bool CModuleListBuilder::isCurrentFile(const SMapping& mapping) const
{
    return m_pathLength > 0 && mapping.pathLength == m_pathLength &&
           std::memcmp(mapping.path, m_path, m_pathLength) == 0;
}

void CModuleListBuilder::endModule()
{
    if (m_pathLength == 0 || !m_executable || m_list.moduleCount == SModuleList::maxModules)
        return;
    size_t nameStart = m_pathLength;
    while (nameStart > 0 && m_path[nameStart - 1] != '/')
        --nameStart;
    SModule& module = m_list.modules[m_list.moduleCount++];
    const size_t nameLength =
        m_pathLength - nameStart < sizeof module.name - 1 ? m_pathLength - nameStart : sizeof module.name - 1;
    std::memcpy(module.name, m_path + nameStart, nameLength);
    module.name[nameLength] = '\0';
    module.base = m_start;
    module.size = m_end - m_start;
}

} // namespace crashhandler
