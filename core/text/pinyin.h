// Finding Chinese names by typing Latin letters, as designers do with an
// input method switched off: "dd" or "diaoding" finds 吊顶, "rjq" finds 乳胶漆.
// The readings come from a table that ICU's transliterator made at build time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lty {

// The reading of one character in lower-case ASCII letters without tones
// ("diao" for 吊); empty for a character that is no Han character.
std::string_view PinyinOf(char32_t c);

// The texts of a tree, each with its full pinyin and its initials, built once
// when the tree is loaded. Letters of the texts are compared without regard
// to case; Latin letters and digits in a text stand for themselves in the
// pinyin forms too ("PVC吊顶" is also "pvcdiaoding" and "pvcdd").
class SearchIndex {
public:
    void Build(const std::vector<std::string>& texts);
    std::size_t Size() const { return entries_.size(); }

    // For each text, in order, whether it holds `needle` as written, in its
    // full pinyin or in its initials. Blanks around the needle are dropped;
    // an empty needle matches nothing.
    std::vector<char> Match(std::string_view needle) const;

private:
    struct Entry {
        std::string Lower;    // the text with ASCII letters in lower case
        std::string Full;     // full pinyin, letters and digits only
        std::string Initials; // the first letter of each reading, letters and digits
    };
    std::vector<Entry> entries_;
};

} // namespace lty
