#include "ArrayList.h"
#include "HashMap.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
int values[64];
void *v(int i) { return &values[i]; }
}  // namespace

TEST(ArrayList, growsByItsIncrement) {
    ArrayList list;
    EXPECT_EQ(16u, list.getCapacity());
    for (int i = 0; i < 17; i++) list.add(v(i));
    EXPECT_EQ(32u, list.getCapacity());

    ArrayList oneByOne(0);
    for (int i = 0; i < 3; i++) {
        oneByOne.add(v(i));
        EXPECT_EQ(static_cast<uint32_t>(i + 1), oneByOne.getCapacity());
    }

    ArrayList large(1000);
    for (int i = 0; i < 1001; i++) large.add(nullptr);
    EXPECT_EQ(1256u, large.getCapacity());
}

TEST(ArrayList, insertsRemovesAndChecksPositions) {
    ArrayList list;
    list.add(v(1));
    list.add(v(3));
    list.add(1, v(2));
    list.add(3, v(4));  // at the end: appends
    list.add(0, v(0));
    ASSERT_EQ(5u, list.getLength());
    for (int i = 0; i < 5; i++) EXPECT_EQ(v(i), list.get(i));

    EXPECT_EQ(v(0), list.remove(0));
    EXPECT_EQ(v(1), list.get(0));
    EXPECT_EQ(v(2), list.get(1));
    list.set(1, v(9));
    EXPECT_EQ(v(9), list.get(1));

    EXPECT_THROW(list.get(4), const char *);
    EXPECT_THROW(list.get(-1), const char *);
    EXPECT_THROW(list.add(6, v(0)), const char *);
    EXPECT_THROW(list.remove(4), const char *);
    list.clear();
    EXPECT_EQ(0u, list.getLength());
    EXPECT_THROW(list.get(0), const char *);
}

TEST(HashMap, hashesWithDjb2) {
    EXPECT_EQ(5381u, kxhash(""));
    EXPECT_EQ(177670u, kxhash("a"));
    EXPECT_EQ(0u, kxhash(static_cast<const char *>(nullptr)));
    const unsigned char high[] = {0xFF};
    EXPECT_EQ(5381u * 33u + 255u, kxhash(high, 1));  // bytes count unsigned
    EXPECT_EQ(17u, findNextCapacity(0));
    EXPECT_EQ(37u, findNextCapacity(17));
    EXPECT_EQ(87707u, findNextCapacity(43853));
}

TEST(HashMap, growsFrom17To37OnThe13thEntry) {
    HashMap map;
    std::vector<std::string> keys;
    for (int i = 0; i < 13; i++) keys.push_back("key" + std::to_string(i));
    for (int i = 0; i < 12; i++) map.put(keys[i].c_str(), v(i));
    EXPECT_EQ(17u, map.getCapacity());
    EXPECT_EQ(12, map.getThreshold());
    map.put(keys[12].c_str(), v(12));
    EXPECT_EQ(37u, map.getCapacity());
    EXPECT_EQ(27, map.getThreshold());
    for (int i = 0; i < 13; i++) EXPECT_EQ(v(i), map.get(keys[i].c_str()));

    HashMap small(10, 0.2f);
    EXPECT_EQ(11u, small.getCapacity());
    EXPECT_FLOAT_EQ(0.5f, small.getLoadFactor());
    EXPECT_EQ(5, small.getThreshold());

    HashMap results(79, 0.81013f);
    EXPECT_EQ(64, results.getThreshold());
}

TEST(HashMap, putReplacesValuesAndComparesKeysByLengthAndBytes) {
    HashMap map;
    const char *abc = "abc";
    EXPECT_EQ(nullptr, map.put(abc, 2, v(1)));  // the key "ab"
    EXPECT_EQ(v(1), map.get("ab"));
    EXPECT_EQ(nullptr, map.get("abc"));
    EXPECT_EQ(v(1), map.put("ab", v(2)));
    EXPECT_EQ(1u, map.getLength());
    EXPECT_EQ(abc, map.getKey(0));  // the first key pointer stays
    map.put("absent-value", nullptr);
    EXPECT_EQ(nullptr, map.get("absent-value"));
    EXPECT_TRUE(map.containsKey("absent-value"));
    EXPECT_FALSE(map.containsKey("other"));
    EXPECT_TRUE(map.containsValue(v(2)));
    EXPECT_FALSE(map.containsValue(v(3)));
    EXPECT_TRUE(equals(nullptr, 0, nullptr, 0));
    EXPECT_FALSE(equals("a", 1, nullptr, 0));
}

// Keys chosen by their bucket in a 17-bucket map, so that the chain order is known.
TEST(HashMap, iteratesBucketsInOrderNewestFirstAndSurvivesRemovals) {
    std::vector<std::string> inBucket[17];
    for (int i = 0; inBucket[3].size() < 3 || inBucket[5].size() < 1; i++) {
        std::string key = "k" + std::to_string(i);
        uint32_t bucket = kxhash(key.c_str()) % 17;
        if ((bucket == 3 && inBucket[3].size() < 3) || (bucket == 5 && inBucket[5].empty()))
            inBucket[bucket].push_back(key);
    }
    HashMap map;
    const std::string &a = inBucket[3][0], &b = inBucket[3][1], &c = inBucket[3][2], &d = inBucket[5][0];
    map.put(d.c_str(), v(4));
    map.put(a.c_str(), v(1));
    map.put(b.c_str(), v(2));
    map.put(c.c_str(), v(3));
    // Bucket 3 holds c (newest, head), b, a; then bucket 5 holds d.
    ASSERT_EQ(4u, map.getLength());
    EXPECT_EQ(v(3), map.getValue(0));
    EXPECT_EQ(v(2), map.getValue(1));
    EXPECT_EQ(v(1), map.getValue(2));
    EXPECT_EQ(v(4), map.getValue(3));
    EXPECT_THROW(map.getValue(4), const char *);

    EXPECT_EQ(v(3), map.remove(c.c_str()));  // the head: its successor takes over
    EXPECT_EQ(v(2), map.getValue(0));
    EXPECT_EQ(v(1), map.get(a.c_str()));
    EXPECT_EQ(v(1), map.remove(a.c_str()));  // the chain's tail
    EXPECT_EQ(v(2), map.getValue(0));
    EXPECT_EQ(v(4), map.getValue(1));
    EXPECT_EQ(nullptr, map.remove(a.c_str()));
    EXPECT_EQ(v(2), map.remove(b.c_str()));  // a head alone
    EXPECT_EQ(1u, map.getLength());
    EXPECT_EQ(v(4), map.getValue(0));
    map.put(a.c_str(), v(1));
    EXPECT_EQ(v(1), map.getValue(0));
    map.clear();
    EXPECT_EQ(0u, map.getLength());
    EXPECT_EQ(nullptr, map.get(d.c_str()));
}

TEST(HashMap, rehashKeepsEveryEntryInNewBucketOrder) {
    HashMap map;
    std::vector<std::string> keys;
    for (int i = 0; i < 40; i++) keys.push_back("entry-" + std::to_string(i * 7));
    for (int i = 0; i < 40; i++) map.put(keys[i].c_str(), v(i));
    ASSERT_EQ(79u, map.getCapacity());
    uint32_t lastBucket = 0;
    for (int i = 0; i < 40; i++) {
        const char *key = static_cast<const char *>(map.getKey(i));
        uint32_t bucket = kxhash(key) % 79;
        EXPECT_LE(lastBucket, bucket);
        lastBucket = bucket;
        EXPECT_EQ(map.get(key), map.getValue(i));
    }
}
