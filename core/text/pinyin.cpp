#include "core/text/pinyin.h"

#include <algorithm>

namespace lty {

namespace pinyin_table {
extern const char32_t kFirst;
extern const char32_t kLast;
extern const char* const kSyllables[];
extern const unsigned short kCodes[];
} // namespace pinyin_table

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsAsciiAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// The next code point of UTF-8 text; a broken sequence reads as its first byte.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    int length = 1;
    char32_t c = b0;
    if (b0 >= 0xF0) {
        length = 4;
        c = b0 & 0x07u;
    } else if (b0 >= 0xE0) {
        length = 3;
        c = b0 & 0x0Fu;
    } else if (b0 >= 0xC0) {
        length = 2;
        c = b0 & 0x1Fu;
    }
    if (length == 1 || i + static_cast<std::size_t>(length) > text.size()) {
        ++i;
        return b0;
    }
    for (int k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3Fu);
    i += static_cast<std::size_t>(length);
    return c;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = Lower(c);
    return out;
}

} // namespace

std::string_view PinyinOf(char32_t c) {
    if (c < pinyin_table::kFirst || c > pinyin_table::kLast) return {};
    return pinyin_table::kSyllables[pinyin_table::kCodes[c - pinyin_table::kFirst]];
}

void SearchIndex::Build(const std::vector<std::string>& texts) {
    entries_.clear();
    entries_.reserve(texts.size());
    for (const auto& text : texts) {
        Entry e;
        e.Lower = LowerAscii(text);
        for (std::size_t i = 0; i < text.size();) {
            const char32_t c = NextCodePoint(text, i);
            if (c < 0x80) {
                const char a = Lower(static_cast<char>(c));
                if (IsAsciiAlnum(a)) {
                    e.Full += a;
                    e.Initials += a;
                }
                continue;
            }
            const std::string_view reading = PinyinOf(c);
            if (reading.empty()) continue;
            e.Full += reading;
            e.Initials += reading.front();
        }
        entries_.push_back(std::move(e));
    }
}

std::vector<char> SearchIndex::Match(std::string_view needle) const {
    std::vector<char> found(entries_.size(), 0);
    while (!needle.empty() && static_cast<unsigned char>(needle.front()) <= 32) needle.remove_prefix(1);
    while (!needle.empty() && static_cast<unsigned char>(needle.back()) <= 32) needle.remove_suffix(1);
    if (needle.empty()) return found;
    const std::string lower = LowerAscii(needle);
    // Latin letters may be pinyin: compared with the readings, blanks between
    // syllables dropped ("diao ding").
    std::string latin;
    bool pinyin = true;
    for (char c : lower) {
        if (IsAsciiAlnum(c))
            latin += c;
        else if (c != ' ' && c != '\'')
            pinyin = false;
    }
    pinyin = pinyin && !latin.empty();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        found[i] = e.Lower.find(lower) != std::string::npos ||
                   (pinyin && (e.Initials.find(latin) != std::string::npos || e.Full.find(latin) != std::string::npos));
    }
    return found;
}

} // namespace lty
