#include "public/rdcontrol/ini/IniHashedStringList.h"

#include <gtest/gtest.h>

#include <random>

#include "public/rdcontrol/base/TextCase.h"

namespace {

// The look-ups a linear search gives: the reference the hashed list must match.
long LinearIndexOfName(const TIniHashedStringList& list, const std::string& name) {
    for (size_t i = 0; i < list.Count(); ++i)
        if (list[i].find('=') != std::string::npos && SameTextNoCase(TIniHashedStringList::NameOf(list[i]), name))
            return static_cast<long>(i);
    return -1;
}

long LinearIndexOf(const TIniHashedStringList& list, const std::string& line) {
    for (size_t i = 0; i < list.Count(); ++i)
        if (SameTextNoCase(list[i], line)) return static_cast<long>(i);
    return -1;
}

}  // namespace

TEST(IniHashedStringList, MatchesLinearSearchUnderRandomEdits) {
    std::mt19937 rng(7);
    TIniHashedStringList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto randomLine = [&] {
        const int kind = pick(4);
        const std::string name = std::string(1, static_cast<char>((pick(2) ? 'A' : 'a') + pick(6)));
        if (kind == 0) return name;                                   // entry without "="
        return name + "=" + std::to_string(pick(3));                  // few values: duplicates happen
    };
    for (int step = 0; step < 3000; ++step) {
        const int op = pick(10);
        const size_t n = list.Count();
        if (op < 4 || n == 0) list.Add(randomLine());
        else if (op < 7) {
            // Mostly keep the name, as value writes do.
            const size_t i = static_cast<size_t>(pick(static_cast<int>(n)));
            std::string line = pick(4) ? std::string(TIniHashedStringList::NameOf(list[i])) + "=" + std::to_string(pick(3))
                                       : randomLine();
            if (line.front() == '=') line = randomLine();
            list.Set(i, line);
        } else if (op < 8) list.Insert(static_cast<size_t>(pick(static_cast<int>(n))), randomLine());
        else list.Delete(static_cast<size_t>(pick(static_cast<int>(n))));

        for (const char* name : {"a", "B", "c", "D", "e", "F"}) {
            ASSERT_EQ(list.IndexOfName(name), LinearIndexOfName(list, name)) << "step " << step << " name " << name;
            const std::string line = std::string(name) + "=1";
            ASSERT_EQ(list.IndexOf(line), LinearIndexOf(list, line)) << "step " << step;
            ASSERT_EQ(list.IndexOf(name), LinearIndexOf(list, name)) << "step " << step;
        }
    }
    EXPECT_EQ(changes, 3000);
}
