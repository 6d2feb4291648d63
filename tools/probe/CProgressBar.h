#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace nebo::probe {

// A one-line progress display redrawn in place with a carriage return: a
// bar with the percentage and the count when the total is known, the count
// alone otherwise, each followed by what is counted ("pictures"). It
// writes only when what it shows changes.
class CProgressBar {
public:
    // Draws on `out`, which must outlive the bar. `total` is 0 when unknown.
    CProgressBar(std::ostream& out, int64_t total, std::string unit);

    void update(int64_t done);
    // Wipes the line, so that other output can take it; the next update
    // draws the bar anew.
    void hide();
    // Ends the line, so that later output starts on a fresh one.
    void finish();

private:
    std::string render(int64_t done) const;

    std::ostream& m_out;
    const int64_t m_total;
    const std::string m_unit;
    std::string m_shown;
};

} // namespace nebo::probe
