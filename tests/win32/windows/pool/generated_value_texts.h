// Distinct texts shaped like metadata values (words of mixed case, some of
// them outside ASCII, numbers, paths), in ascending byte order as the engine
// hands them over: what the value page's timing tools fill it with.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

inline std::vector<std::string> generate_value_texts(std::uint32_t count) {
    const char* words[] = {
        "Rock", "rock", "Jazz", "The",     "the",        "Night",        "night",
        "Blue", "Live", "LIVE", "Ambient", "L\303\251a", "Bj\303\266rn", "\346\227\245\346\234\254",
        "Song", "Album"};
    std::mt19937 random(7);
    std::uniform_int_distribution<int> word(0, 15);
    std::vector<std::string> texts;
    texts.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string text;
        switch (i % 4) {
        case 0:
            text = "C:\\Music\\" + std::string(words[word(random)]) + "\\" + std::to_string(i) +
                   " " + words[word(random)] + ".flac";
            break;
        case 1:
            text = std::string(words[word(random)]) + " " + words[word(random)] + " " +
                   std::to_string(i);
            break;
        case 2:
            text = std::to_string(i * 7u);
            break;
        default:
            text = std::string(words[word(random)]) + std::to_string(i);
            break;
        }
        texts.push_back(std::move(text));
    }
    std::sort(texts.begin(), texts.end());
    texts.erase(std::unique(texts.begin(), texts.end()), texts.end());
    return texts;
}
