// Names in the order of the user's locale (LC_ALL, LC_COLLATE, LANG), letter
// case ignored: the locale's collation over case-folded wide text.
//
// The C and POSIX locales, and C.UTF-8, collate by code point, which puts
// every accented letter after "z". For them the order falls back to one a
// person expects: letters compare by their base letter first ("Ábel" sorts
// with "Abel", before "zeta"), then by accent, then by code point.
#include "platform/NativeNames.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <string_view>

namespace snickit::native {

namespace {

// UTF-8 to wide characters (UTF-32). A byte that is no part of a valid
// sequence stands for itself, shifted out of the way (0xDC80 + byte), so
// that names in other encodings still sort and stay distinct.
std::wstring Decode(std::string_view text) {
    std::wstring out;
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        const char32_t code = utf8::Next(text, at);
        out.push_back(static_cast<wchar_t>(code == utf8::kMalformed ? 0xDC80 + static_cast<unsigned char>(text[start])
                                                                    : code));
    }
    return out;
}

// The base letters of U+00C0 to U+017F (Latin-1 and Latin Extended-A); '*'
// marks a character that is no letter with an accent.
constexpr std::string_view kBaseLetters =
    "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTsaaaaaaaceeeeiiiidnooooo*ouuuuyty"
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlL"
    "lLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

struct Collation {
    locale_t locale = nullptr;  // the user's collation and character classes
    bool byCodePoint = true;    // the locale has no collation of its own

    Collation() {
        const char* name = nullptr;
        for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
            name = std::getenv(variable);
            if (name && *name) break;
        }
        const std::string_view chosen = name ? name : "";
        byCodePoint = chosen.empty() || chosen == "C" || chosen == "POSIX" || chosen.starts_with("C.");
        locale = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "", nullptr);
        // Letter case of every script needs UTF-8 character classes.
        if (!locale || byCodePoint) {
            if (locale) freelocale(locale);
            locale = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "C.UTF-8", nullptr);
            byCodePoint = true;
        }
        if (!locale) locale = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "C", nullptr);
    }
    ~Collation() {
        if (locale) freelocale(locale);
    }

    wchar_t Lower(wchar_t c) const { return static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale)); }

    std::wstring Folded(std::string_view text) const {
        std::wstring wide = Decode(text);
        for (wchar_t& c : wide) c = Lower(c);
        return wide;
    }

    static int AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

    // The base letter of a folded character, or the character itself.
    static wchar_t Base(wchar_t c) {
        if (c < 0xC0 || c > 0x17F) return c;
        const char base = kBaseLetters[static_cast<size_t>(c - 0xC0)];
        return base == '*' ? c : static_cast<wchar_t>(base | 0x20);
    }

    int Compare(std::string_view a, std::string_view b) const {
        // Plain ASCII, the usual case, needs no decoding: folded, it is its
        // own base letters. Up to the first other byte the order is decided
        // here, in one pass.
        if (byCodePoint) {
            size_t i = 0;
            for (; i < a.size() && i < b.size(); ++i) {
                const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
                if (x >= 0x80 || y >= 0x80) break;
                const int fx = AsciiLower(static_cast<char>(x)), fy = AsciiLower(static_cast<char>(y));
                if (fx != fy) return fx - fy;
            }
            if (i == a.size() || i == b.size()) return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
        }
        const std::wstring x = Folded(a), y = Folded(b);
        if (!byCodePoint) return wcscoll_l(x.c_str(), y.c_str(), locale);
        std::wstring baseX = x, baseY = y;
        for (wchar_t& c : baseX) c = Base(c);
        for (wchar_t& c : baseY) c = Base(c);
        const int byBase = baseX.compare(baseY);
        return byBase != 0 ? byBase : x.compare(y);
    }
};

const Collation& TheCollation() {
    static const Collation collation;
    return collation;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

int CompareNames(const std::string& a, const std::string& b) { return TheCollation().Compare(a, b); }

void SortNames(std::vector<std::string>& names) {
    const Collation& collation = TheCollation();
    auto before = [&collation](const std::string& a, const std::string& b) {
        return Platform::InListOrder(collation.Compare(a, b), a, b);
    };
    if (!collation.byCodePoint || !std::all_of(names.begin(), names.end(), IsAscii)) {
        std::sort(names.begin(), names.end(), before);
        return;
    }
    // Plain ASCII by code point: a name sorts as its lower-case bytes. The
    // first eight of them as one number settle most comparisons at once; a
    // shorter name's missing bytes count as 0, below every character.
    struct Entry {
        std::uint64_t head;
        size_t index;
    };
    std::vector<Entry> entries;
    entries.reserve(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        std::uint64_t head = 0;
        for (size_t k = 0; k < 8; ++k) {
            head = head << 8 | static_cast<std::uint64_t>(k < names[i].size() ? Collation::AsciiLower(names[i][k]) : 0);
        }
        entries.push_back({head, i});
    }
    std::sort(entries.begin(), entries.end(), [&](const Entry& x, const Entry& y) {
        return x.head != y.head ? x.head < y.head : before(names[x.index], names[y.index]);
    });
    // entries[i].index is the name that belongs at i: move the names round
    // each cycle of places, marking each place done.
    for (size_t start = 0; start < entries.size(); ++start) {
        if (entries[start].index == start) continue;
        std::string held = std::move(names[start]);
        for (size_t at = start;;) {
            const size_t from = entries[at].index;
            entries[at].index = at;
            if (from == start) {
                names[at] = std::move(held);
                break;
            }
            names[at] = std::move(names[from]);
            at = from;
        }
    }
}

}  // namespace snickit::native
