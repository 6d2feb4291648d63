#include "tools/probe/CProgressBar.h"

#include <algorithm>

namespace nebo::probe {

namespace {

constexpr int64_t barCells = 40;

} // namespace

CProgressBar::CProgressBar(std::ostream& out, int64_t total, std::string unit)
    : m_out(out), m_total(std::max<int64_t>(total, 0)), m_unit(std::move(unit))
{
}

void CProgressBar::update(int64_t done)
{
    std::string line = render(done);
    if (line == m_shown)
        return;
    // Blanks cover what a longer earlier line left behind.
    const size_t covered = std::max(line.size(), m_shown.size());
    m_out << '\r' << line << std::string(covered - line.size(), ' ') << std::flush;
    m_shown = std::move(line);
}

void CProgressBar::hide()
{
    if (!m_shown.empty())
        m_out << '\r' << std::string(m_shown.size(), ' ') << '\r' << std::flush;
    m_shown.clear();
}

void CProgressBar::finish()
{
    if (!m_shown.empty())
        m_out << '\n' << std::flush;
    m_shown.clear();
}

std::string CProgressBar::render(int64_t done) const
{
    const std::string count = std::to_string(done);
    if (m_total == 0)
        return count + " " + m_unit;
    // A source may deliver more than it announced; the bar stops full.
    const int64_t shown = std::clamp<int64_t>(done, 0, m_total);
    const double fraction = static_cast<double>(shown) / static_cast<double>(m_total);
    const int64_t cells = static_cast<int64_t>(fraction * barCells);
    const int64_t percent = static_cast<int64_t>(fraction * 100);
    return "[" + std::string(cells, '#') + std::string(barCells - cells, '.') + "] " + std::to_string(percent) + "% " +
           count + "/" + std::to_string(m_total) + " " + m_unit;
}

} // namespace nebo::probe
