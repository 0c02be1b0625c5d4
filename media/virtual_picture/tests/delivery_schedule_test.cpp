// The delivery rhythm of the virtual webcam, stepped through simulated time.
#include <gtest/gtest.h>

#include <vector>

#include "media/virtual_picture/delivery_schedule.h"

namespace virtual_picture {
namespace {

constexpr int64_t kInterval = 333333;  // 30 frames per second

// Runs the schedule over `duration` with a sender that publishes at
// `sender_times` (empty: no sender); returns what was delivered and when.
struct Delivered {
    int64_t at;
    Delivery what;
};
std::vector<Delivered> Simulate(const std::vector<int64_t>& sender_times, int64_t sender_stops, int64_t duration) {
    std::vector<Delivered> out;
    ScheduleState s;
    s.interval = kInterval;
    size_t published = 0, delivered = 0;
    int64_t last_publish = -1;
    while (s.now < duration) {
        while (published < sender_times.size() && sender_times[published] <= s.now) last_publish = sender_times[published++];
        s.sender_live = last_publish >= 0 && s.now - last_publish < static_cast<int64_t>(kSenderTimeoutMs) * 10000 &&
                        s.now < sender_stops + static_cast<int64_t>(kSenderTimeoutMs) * 10000;
        s.new_frame = published > delivered;
        const Decision d = Decide(s);
        if (d.delivery == Delivery::kWait) {
            // The wait ends at its time or when the sender publishes.
            int64_t next = d.wait_until;
            if (published < sender_times.size() && sender_times[published] < next) next = sender_times[published];
            s.now = next > s.now ? next : s.now + 1;
            continue;
        }
        if (d.delivery == Delivery::kSenderFrame) delivered = published;
        out.push_back({s.now, d.delivery});
        s.last_delivery = s.now;
        s.last_was_sender_frame = d.delivery == Delivery::kSenderFrame;
    }
    return out;
}

TEST(DeliverySchedule, FramesGoOutWhenTheyArriveAtTheSendersRate) {
    std::vector<int64_t> sender;
    for (int64_t t = 0; t < 10000000; t += kInterval + (t / kInterval % 3) * 20000 - 20000) sender.push_back(t);
    const std::vector<Delivered> out = Simulate(sender, 1LL << 60, 10000000);
    size_t frames = 0;
    for (const Delivered& d : out) {
        if (d.what != Delivery::kSenderFrame) continue;
        ++frames;
        // Delivered at its arrival: no frame waits for a clock of ours.
        bool at_arrival = false;
        for (int64_t t : sender) at_arrival |= (t == d.at);
        EXPECT_TRUE(at_arrival) << d.at;
    }
    EXPECT_GE(frames, sender.size() - 2);
    for (const Delivered& d : out) EXPECT_NE(d.what, Delivery::kPlaceholder);
}

TEST(DeliverySchedule, AFasterSenderIsThinnedToTheNegotiatedRate) {
    std::vector<int64_t> sender;
    for (int64_t t = 0; t < 10000000; t += kInterval / 4) sender.push_back(t);
    const std::vector<Delivered> out = Simulate(sender, 1LL << 60, 10000000);
    EXPECT_GE(out.size(), 28u);
    EXPECT_LE(out.size(), 41u);
    for (size_t i = 1; i < out.size(); ++i) EXPECT_GE(out[i].at - out[i - 1].at, kInterval * 3 / 4);
}

TEST(DeliverySchedule, PlaceholderWithoutSenderThenPictureThenPlaceholderAgain) {
    std::vector<int64_t> sender;
    for (int64_t t = 20000000; t < 40000000; t += kInterval) sender.push_back(t);
    const std::vector<Delivered> out = Simulate(sender, 40000000, 70000000);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.front().what, Delivery::kPlaceholder);
    int64_t first_frame = -1, placeholder_after = -1;
    for (const Delivered& d : out) {
        if (d.what == Delivery::kSenderFrame && first_frame < 0) first_frame = d.at;
        if (d.what == Delivery::kPlaceholder && d.at > 40000000 && placeholder_after < 0) placeholder_after = d.at;
        if (d.at < 20000000) {
            EXPECT_EQ(d.what, Delivery::kPlaceholder);
        }
    }
    EXPECT_EQ(first_frame, 20000000);
    // Back to the card a second after the last frame, at the next repeat.
    ASSERT_GT(placeholder_after, 0);
    EXPECT_LE(placeholder_after, 40000000 + 10000000 + 2 * kInterval);
    // Placeholder at the negotiated rate: about 30 in the silent first two seconds.
    size_t early = 0;
    for (const Delivered& d : out) early += d.at < 20000000;
    EXPECT_GE(early, 59u);
    EXPECT_LE(early, 61u);
}

TEST(DeliverySchedule, SenderLiveFollowsTheHeartbeat) {
    EXPECT_FALSE(SenderLive(0, 100, 100));
    EXPECT_TRUE(SenderLive(5, 100, 100 + kSenderTimeoutMs - 1));
    EXPECT_FALSE(SenderLive(5, 100, 100 + kSenderTimeoutMs));
    EXPECT_FALSE(SenderLive(5, 200, 100));  // a heartbeat from the future is not trusted
}

}  // namespace
}  // namespace virtual_picture
