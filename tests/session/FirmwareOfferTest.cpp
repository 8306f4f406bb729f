// Whether a unit just connected is offered an update of its firmware.
#include <gtest/gtest.h>

#include "session/FirmwareOffer.h"

namespace {

constexpr uint32_t kNone = VERSION_WORD_INVALID;

struct OfferCase {
    const char* what;
    FirmwareOfferFacts facts;
    FirmwareOffer offer;
};

TEST(FirmwareOffer, NewerImagesAreOfferedOnceAndAStuckBootloaderIsUpdatedAtOnce)
{
    const VersionTriple at5{1, 1, 5};
    const OfferCase table[] = {
        {"no image for the unit",
         {std::nullopt, VersionTriple{1, 1, 1}, false, std::nullopt},
         FirmwareOffer::None},
        {"an older firmware", {6, at5, false, std::nullopt}, FirmwareOffer::Ask},
        {"the same firmware", {5, at5, false, std::nullopt}, FirmwareOffer::None},
        {"a newer firmware", {4, at5, false, std::nullopt}, FirmwareOffer::None},
        {"no valid application, a high third word",
         {6, VersionTriple{1, kNone, 9}, false, std::nullopt},
         FirmwareOffer::Ask},
        {"no valid application, the first word",
         {6, VersionTriple{kNone, 1, 9}, false, std::nullopt},
         FirmwareOffer::Ask},
        {"refused that very version", {6, at5, false, 6L}, FirmwareOffer::None},
        {"refused a newer version", {6, at5, false, 7L}, FirmwareOffer::None},
        {"refused an older version", {6, at5, false, 5L}, FirmwareOffer::Ask},
        {"refused, but in the bootloader", {6, at5, true, 6L}, FirmwareOffer::Ask},
        {"no firmware answer in the bootloader", {6, std::nullopt, true, 6L}, FirmwareOffer::WithoutAsking},
        {"no firmware answer in the application",
         {6, std::nullopt, false, std::nullopt},
         FirmwareOffer::None},
    };
    for (const OfferCase& c : table)
        EXPECT_EQ(DecideFirmwareOffer(c.facts), c.offer) << c.what;
}

}  // namespace
