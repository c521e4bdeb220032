#include "days/banks.h"

namespace {

struct BankWords {
    BankKind bank;
    const char* name;
    const char* title;
    LeaveType leave;
};

constexpr std::array<BankWords, 4> Words{{
    {BankKind::Vacation, "vacation", "Vacation", LeaveType::Vacation},
    {BankKind::Sick, "sick", "Sick leave", LeaveType::Sick},
    {BankKind::Comp, "comp", "Comp time", LeaveType::Comp},
    {BankKind::Holiday, "holiday", "Holiday", LeaveType::Holiday},
}};

const BankWords& wordsOf(BankKind bank) {
    return Words[static_cast<std::size_t>(bank)];
}

} // namespace

static_assert([] {
    for (std::size_t at = 0; at < Words.size(); ++at)
        if (Words[at].bank != AllBanks[at] || static_cast<std::size_t>(Words[at].bank) != at)
            return false;
    return true;
}());

QString bankName(BankKind bank) {
    return QString::fromLatin1(wordsOf(bank).name);
}

QString bankTitle(BankKind bank) {
    return QString::fromLatin1(wordsOf(bank).title);
}

std::optional<BankKind> bankFromName(QStringView name) {
    for (const BankWords& words : Words)
        if (name == QLatin1StringView(words.name))
            return words.bank;
    return std::nullopt;
}

std::optional<BankKind> bankOfLeave(LeaveType type) {
    for (const BankWords& words : Words)
        if (words.leave == type)
            return words.bank;
    return std::nullopt;
}
