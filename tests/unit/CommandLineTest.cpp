#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Parsed {
    bool ok;
    int width;
    int height;
};

Parsed parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "repair_zelto");
    Parsed parsed{false, -1, -1};
    parsed.ok = parseWindowSize(static_cast<int>(arguments.size()), arguments.data(), parsed.width,
                                parsed.height);
    return parsed;
}

} // namespace

TEST(CommandLine, MissingArgumentsKeepTheDefaultSize) {
    for (const auto& arguments : {std::vector<const char*>{}, {"wide"}, {"1024"}}) {
        const Parsed parsed = parse(arguments);
        EXPECT_TRUE(parsed.ok);
        EXPECT_EQ(parsed.width, 800);
        EXPECT_EQ(parsed.height, 600);
    }
}

TEST(CommandLine, ReadsLeadingNumbersLikeStreamExtraction) {
    const Parsed plain = parse({"1024", "768"});
    EXPECT_TRUE(plain.ok);
    EXPECT_EQ(plain.width, 1024);
    EXPECT_EQ(plain.height, 768);

    const Parsed trailing = parse({"1024px", "768"});
    EXPECT_TRUE(trailing.ok);
    EXPECT_EQ(trailing.width, 1024);

    const Parsed signedBlank = parse({" +640", "480", "extra"});
    EXPECT_TRUE(signedBlank.ok);
    EXPECT_EQ(signedBlank.width, 640);
    EXPECT_EQ(signedBlank.height, 480);

    // Sizes are not range-checked here; window creation rejects them.
    const Parsed negative = parse({"-5", "0"});
    EXPECT_TRUE(negative.ok);
    EXPECT_EQ(negative.width, -5);
    EXPECT_EQ(negative.height, 0);
}

TEST(CommandLine, RejectsTextAndOverflow) {
    EXPECT_FALSE(parse({"wide", "768"}).ok);
    EXPECT_FALSE(parse({"1024", "tall"}).ok);
    EXPECT_FALSE(parse({"99999999999", "600"}).ok);
    EXPECT_FALSE(parse({"800", "-99999999999"}).ok);
    EXPECT_FALSE(parse({"", "600"}).ok);
}
