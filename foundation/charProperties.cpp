#include "foundation/charProperties.h"

namespace lumo {

namespace {

// The code points below this limit have table entries.
constexpr uint32_t tableLimit = 0x0590;

class CaseTable {
public:
    CaseTable()
    {
        for (uint32_t c = 0; c < tableLimit; ++c)
            m_lower[c] = m_upper[c] = static_cast<uint16_t>(c);

        // Runs of capitals followed, at a fixed distance, by their small letters.
        shifted(0x0041, 0x005A, 0x20); // A-Z
        shifted(0x00C0, 0x00D6, 0x20); // Latin-1 capitals, without the
        shifted(0x00D8, 0x00DE, 0x20); // multiplication sign at U+00D7
        shifted(0x0391, 0x03A1, 0x20); // Greek
        shifted(0x03A3, 0x03AB, 0x20);
        shifted(0x0388, 0x038A, 0x25); // Greek with tonos
        shifted(0x038E, 0x038F, 0x3F);
        shifted(0x0410, 0x042F, 0x20); // Cyrillic
        shifted(0x0400, 0x040F, 0x50);
        shifted(0x0531, 0x0556, 0x30); // Armenian

        // Runs in which each capital is directly followed by its small letter.
        alternating(0x0100, 0x012F); // Latin Extended-A
        alternating(0x0132, 0x0137);
        alternating(0x0139, 0x0148);
        alternating(0x014A, 0x0177);
        alternating(0x0179, 0x017E);
        alternating(0x0370, 0x0373); // Greek archaic letters
        alternating(0x0376, 0x0377);
        alternating(0x03D8, 0x03EF); // Greek archaic letters and Coptic
        alternating(0x03F7, 0x03F8);
        alternating(0x03FA, 0x03FB);
        alternating(0x0460, 0x0481); // Cyrillic historic letters
        alternating(0x048A, 0x04BF);
        alternating(0x04C1, 0x04CE);
        alternating(0x04D0, 0x052F); // Cyrillic and Cyrillic Supplement

        // Single pairs.
        pair(0x0178, 0x00FF); // Y with diaeresis
        pair(0x0386, 0x03AC); // Greek alpha with tonos
        pair(0x038C, 0x03CC); // Greek omicron with tonos
        pair(0x03CF, 0x03D7); // Greek kai
        pair(0x037F, 0x03F3); // Greek yot
        pair(0x03F9, 0x03F2); // Greek lunate sigma
        pair(0x03FD, 0x037B); // Greek reversed lunate sigmas
        pair(0x03FE, 0x037C);
        pair(0x03FF, 0x037D);
        pair(0x04C0, 0x04CF); // Cyrillic palochka

        // Letters whose other case maps back to a different letter.
        m_lower[0x0130] = 0x0069; // capital I with dot above -> i
        m_upper[0x0131] = 0x0049; // dotless i -> I
        m_upper[0x017F] = 0x0053; // long s -> S
        m_upper[0x00B5] = 0x039C; // micro sign -> capital mu
        m_upper[0x0345] = 0x0399; // combining ypogegrammeni -> capital iota
        m_upper[0x03C2] = 0x03A3; // final sigma -> capital sigma
        m_upper[0x03D0] = 0x0392; // Greek symbol variants of beta, theta,
        m_upper[0x03D1] = 0x0398; // phi, pi, kappa, rho and epsilon
        m_upper[0x03D5] = 0x03A6;
        m_upper[0x03D6] = 0x03A0;
        m_upper[0x03F0] = 0x039A;
        m_upper[0x03F1] = 0x03A1;
        m_upper[0x03F5] = 0x0395;
        m_lower[0x03F4] = 0x03B8; // capital theta symbol -> theta
    }

    uint32_t lower(uint32_t c) const { return c < tableLimit ? m_lower[c] : c; }
    uint32_t upper(uint32_t c) const { return c < tableLimit ? m_upper[c] : c; }

private:
    void pair(uint32_t capital, uint32_t small)
    {
        m_lower[capital] = static_cast<uint16_t>(small);
        m_upper[small] = static_cast<uint16_t>(capital);
    }
    void shifted(uint32_t firstCapital, uint32_t lastCapital, uint32_t distance)
    {
        for (uint32_t c = firstCapital; c <= lastCapital; ++c)
            pair(c, c + distance);
    }
    void alternating(uint32_t first, uint32_t last)
    {
        for (uint32_t c = first; c < last; c += 2)
            pair(c, c + 1);
    }

    uint16_t m_lower[tableLimit];
    uint16_t m_upper[tableLimit];
};

const CaseTable& caseTable()
{
    static const CaseTable table;
    return table;
}

} // namespace

uint32_t lowerCaseOf(uint32_t codePoint) { return caseTable().lower(codePoint); }

uint32_t upperCaseOf(uint32_t codePoint) { return caseTable().upper(codePoint); }

uint32_t foldedCaseOf(uint32_t codePoint)
{
    const CaseTable& table = caseTable();
    return table.lower(table.upper(codePoint));
}

bool isWhiteSpace(uint32_t codePoint)
{
    switch (codePoint) {
    case 0x0009:
    case 0x000A:
    case 0x000B:
    case 0x000C:
    case 0x000D:
    case 0x0020:
    case 0x0085:
    case 0x00A0:
    case 0x1680:
    case 0x2028:
    case 0x2029:
    case 0x202F:
    case 0x205F:
    case 0x3000:
        return true;
    default:
        return codePoint >= 0x2000 && codePoint <= 0x200A;
    }
}

} // namespace lumo
