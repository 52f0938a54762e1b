#include "velbytearray.h"
#include "velcache.h"
#include "velhash.h"
#include "vellist.h"
#include "velqueue.h"
#include "velset.h"
#include "velsharedpointer.h"
#include "velstring.h"
#include "velvector.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{

// Counts live instances, so tests can see who deletes what.
struct Tracked {
    static int alive;
    explicit Tracked(int v = 0) : value(v) { ++alive; }
    Tracked(const Tracked &o) : value(o.value) { ++alive; }
    ~Tracked() { --alive; }
    int value;
};
int Tracked::alive = 0;

TEST(VelListTest, InsertBeforeRemoveOneAndTake)
{
    VelList<int> l;
    l << 1 << 2 << 3 << 2;
    l.insert(1, 9); // before the element at 1
    EXPECT_EQ(l, (VelList<int>{1, 9, 2, 3, 2}));
    l.insert(l.size(), 7); // at the end
    l.prepend(0);
    EXPECT_EQ(l, (VelList<int>{0, 1, 9, 2, 3, 2, 7}));
    EXPECT_TRUE(l.removeOne(2));
    EXPECT_EQ(l, (VelList<int>{0, 1, 9, 3, 2, 7})); // only the first 2 went
    EXPECT_FALSE(l.removeOne(42));
    EXPECT_EQ(l.indexOf(2), 4);
    EXPECT_EQ(l.indexOf(9, 3), -1);
    EXPECT_EQ(l.lastIndexOf(0), 0);
    EXPECT_EQ(l.takeFirst(), 0);
    EXPECT_EQ(l.takeLast(), 7);
    EXPECT_EQ(l.mid(1, 2), (VelList<int>{9, 3}));
    EXPECT_EQ(l.mid(3, 100), (VelList<int>{2}));
    EXPECT_TRUE(l.mid(10).isEmpty());
    EXPECT_EQ(l.value(10, -1), -1);

    const VelList<int> copy = l;
    l.replace(0, 5);
    EXPECT_EQ(copy.at(0), 1); // copies are independent
    l << 5 << 5;
    EXPECT_EQ(l.removeAll(5), 3);
    EXPECT_EQ(l, (VelList<int>{9, 3, 2}));
    l.move(0, 2);
    EXPECT_EQ(l, (VelList<int>{3, 2, 9}));
}

TEST(VelVectorTest, AttributeListEditing)
{
    // The shape of an EGL attribute list: pairs, terminated by a sentinel.
    VelVector<int> attrs{0x3024, 8, 0x3023, 8, 0x3025, 24, 0x3038};
    const int depth = attrs.indexOf(0x3025);
    ASSERT_EQ(depth, 4);
    attrs.remove(depth, 2);
    EXPECT_EQ(attrs, (VelVector<int>{0x3024, 8, 0x3023, 8, 0x3038}));
    attrs[1] = 5;
    EXPECT_EQ(attrs.data()[1], 5);
    EXPECT_EQ(attrs.data()[attrs.size() - 1], 0x3038);
    attrs.remove(3, 100); // clipped at the end
    EXPECT_EQ(attrs, (VelVector<int>{0x3024, 5, 0x3023}));
    attrs.remove(-1, 2); // out of range: nothing happens
    attrs.remove(3, 1);
    EXPECT_EQ(attrs.size(), 3);
}

TEST(VelHashTest, KeysOfHostTypesAndStableFind)
{
    VelHash<VelString, int> byName;
    byName.insert(VelString("alpha"), 1);
    byName.insert(VelString("beta"), 2);
    byName.insert(VelString("alpha"), 3); // replaces
    EXPECT_EQ(byName.size(), 2);
    EXPECT_EQ(byName.value(VelString("alpha")), 3);
    EXPECT_EQ(byName.value(VelString("gamma"), -1), -1);
    EXPECT_FALSE(byName.contains(VelString("gamma"))); // value() must not insert

    VelHash<int, VelString> byId;
    byId.insert(7, VelString("seven"));
    VelString *stored = byId.find(7);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(byId.find(8), nullptr);
    for (int i = 0; i < 1000; ++i) // rehashing must not move stored values
        byId.insert(100 + i, VelString::number((long long)i));
    EXPECT_EQ(stored, byId.find(7));
    *stored = VelString("SEVEN");
    EXPECT_EQ(byId.value(7), VelString("SEVEN"));
    EXPECT_EQ(byId[12345], VelString()); // operator[] inserts a default
    EXPECT_TRUE(byId.contains(12345));
    EXPECT_EQ(byId.remove(12345), 1);
    EXPECT_EQ(byId.remove(12345), 0);
    EXPECT_EQ(byId.take(7), VelString("SEVEN"));
    EXPECT_EQ(byId.size(), 1000);

    VelHash<VelByteArray, int> byBytes{{VelByteArray("a\0b", 3), 1}, {VelByteArray("a"), 2}};
    EXPECT_EQ(byBytes.value(VelByteArray("a\0b", 3)), 1); // embedded NULs are part of the key
    int sum = 0;
    for (auto it = byBytes.begin(); it != byBytes.end(); ++it)
        sum += it.value() * (it.key().size() == 3 ? 10 : 1);
    EXPECT_EQ(sum, 12);
    auto keys = byBytes.keys();
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys.first(), VelByteArray("a"));
}

TEST(VelSetTest, IteratesInInsertionOrder)
{
    VelSet<int> s;
    for (int v : {5, 1, 9, 1, 3})
        s.insert(v);
    EXPECT_EQ(s.values(), (VelList<int>{5, 1, 9, 3}));
    EXPECT_TRUE(s.remove(1));
    EXPECT_FALSE(s.remove(1));
    EXPECT_EQ(s.values(), (VelList<int>{5, 9, 3}));
    EXPECT_EQ(s, (VelSet<int>{3, 9, 5}));
    VelSet<int> other{9, 4};
    EXPECT_TRUE(s.intersects(other));
    EXPECT_EQ(VelSet<int>(s).intersect(other).values(), (VelList<int>{9}));
    EXPECT_EQ(VelSet<int>(s).subtract(other).values(), (VelList<int>{5, 3}));
    EXPECT_EQ(s.unite(other).values(), (VelList<int>{5, 9, 3, 4}));
}

TEST(VelQueueTest, FirstInFirstOut)
{
    VelQueue<int> q;
    q.enqueue(1);
    q.enqueue(2);
    q.enqueue(1);
    q.enqueue(3);
    EXPECT_EQ(q.head(), 1);
    EXPECT_EQ(q.dequeue(), 1);
    EXPECT_EQ(q.removeAll(1), 1);
    EXPECT_EQ(q.dequeue(), 2);
    EXPECT_EQ(q.dequeue(), 3);
    EXPECT_TRUE(q.isEmpty());
}

TEST(VelCacheTest, EvictsLeastRecentlyUsedAndLookupRefreshes)
{
    Tracked::alive = 0;
    {
        VelCache<VelByteArray, Tracked> cache(3);
        cache.insert("a", new Tracked(1));
        cache.insert("b", new Tracked(2));
        cache.insert("c", new Tracked(3));
        EXPECT_EQ(cache.totalCost(), 3);
        // Touch "a": "b" becomes the least recently used.
        ASSERT_NE(cache.object("a"), nullptr);
        cache.insert("d", new Tracked(4));
        EXPECT_FALSE(cache.contains("b"));
        EXPECT_TRUE(cache.contains("a"));
        EXPECT_EQ(Tracked::alive, 3); // the evicted object was deleted
        EXPECT_EQ(cache.keys(), (VelList<VelByteArray>{"d", "a", "c"}));

        // contains() is not a use: "c" is still the next to go.
        EXPECT_TRUE(cache.contains("c"));
        cache.insert("e", new Tracked(5));
        EXPECT_FALSE(cache.contains("c"));
        EXPECT_EQ(cache.object("nope"), nullptr);
    }
    EXPECT_EQ(Tracked::alive, 0); // the cache owns and deletes what it holds
}

TEST(VelCacheTest, ReplacingCostsAndShrinking)
{
    Tracked::alive = 0;
    VelCache<VelByteArray, Tracked> cache(10);
    cache.insert("k", new Tracked(1), 4);
    cache.insert("k", new Tracked(2), 5); // replaces: old object deleted, cost not doubled
    EXPECT_EQ(cache.size(), 1);
    EXPECT_EQ(cache.totalCost(), 5);
    EXPECT_EQ(cache.object("k")->value, 2);
    EXPECT_EQ(Tracked::alive, 1);

    EXPECT_FALSE(cache.insert("huge", new Tracked(3), 11)); // deleted at once
    EXPECT_EQ(Tracked::alive, 1);
    EXPECT_FALSE(cache.contains("huge"));

    cache.insert("x", new Tracked(4), 5);
    EXPECT_EQ(cache.totalCost(), 10);
    cache.setMaxCost(5); // evicts "k", the older one
    EXPECT_FALSE(cache.contains("k"));
    EXPECT_TRUE(cache.contains("x"));

    Tracked *taken = cache.take("x");
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(cache.totalCost(), 0);
    EXPECT_EQ(Tracked::alive, 1);
    delete taken;
}

TEST(VelSharedPointerTest, SharesAndClears)
{
    Tracked::alive = 0;
    VelSharedPointer<Tracked> a(new Tracked(7));
    VelSharedPointer<Tracked> b = a;
    EXPECT_EQ(a, b);
    EXPECT_EQ(b->value, 7);
    a.clear();
    EXPECT_TRUE(a.isNull());
    EXPECT_EQ(Tracked::alive, 1);
    b.clear();
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_TRUE(VelSharedPointer<Tracked>().isNull());
    EXPECT_EQ(VelSharedPointer<Tracked>::create(3).data()->value, 3);
}

TEST(VelListTest, IndexEdgesAndNegativeStarts)
{
    const VelList<int> l{4, 5, 4, 6};
    EXPECT_EQ(l.indexOf(4, -2), 2); // counts from the end
    EXPECT_EQ(l.indexOf(4, -100), 0);
    EXPECT_EQ(l.indexOf(6, 10), -1);
    EXPECT_EQ(l.lastIndexOf(4, 100), 2); // clipped to the last element
    EXPECT_EQ(l.lastIndexOf(4, -3), 0);
    EXPECT_EQ(l.lastIndexOf(6, 1), -1);
    EXPECT_TRUE(l.mid(-3, 2).isEmpty()); // ends before the list starts
    EXPECT_EQ(l.mid(-1, 3), (VelList<int>{4, 5}));
    EXPECT_EQ(l.mid(2, 2147483647), (VelList<int>{4, 6})); // no overflow in pos + n
    EXPECT_TRUE(l.startsWith(4));
    EXPECT_TRUE(l.endsWith(6));
    EXPECT_EQ(l.count(4), 2);
    VelList<int> m = l;
    m.insert(-5, 1); // clamped to the front
    m.insert(99, 2); // and to the back
    EXPECT_EQ(m, (VelList<int>{1, 4, 5, 4, 6, 2}));
    m.swapItemsAt(0, 5);
    EXPECT_EQ(m.first(), 2);
    EXPECT_EQ(m.last(), 1);
    EXPECT_EQ(l + m, (VelList<int>{4, 5, 4, 6, 2, 4, 5, 4, 6, 1}));
}

TEST(VelHashTest, EraseWhileIteratingAndIteratorAccess)
{
    VelHash<int, int> h;
    for (int i = 0; i < 100; ++i)
        h.insert(i, i * i);
    for (auto it = h.begin(); it != h.end();) {
        if (it.key() % 2)
            it = h.erase(it);
        else
            ++it;
    }
    EXPECT_EQ(h.size(), 50);
    long sum = 0;
    for (int v : h) // iteration yields values
        sum += v;
    long expected = 0;
    for (int i = 0; i < 100; i += 2)
        expected += i * i;
    EXPECT_EQ(sum, expected);
    EXPECT_EQ(h.key(16), 4);
    EXPECT_EQ(h.key(17, -1), -1);
    const VelHash<int, int> copy = h;
    h.insert(0, 1);
    EXPECT_NE(copy, h);
    EXPECT_EQ(copy.value(0), 0);
    // Pointer keys hash by address.
    int a = 0;
    int b = 0;
    VelHash<int *, VelString> byPointer;
    byPointer.insert(&a, VelString("a"));
    byPointer.insert(&b, VelString("b"));
    EXPECT_EQ(byPointer.value(&b), VelString("b"));
}

TEST(VelCacheTest, ZeroMaxCostAndNullObjects)
{
    Tracked::alive = 0;
    VelCache<int, Tracked> cache(0);
    EXPECT_FALSE(cache.insert(1, new Tracked)); // cost 1 > 0: refused and deleted
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_TRUE(cache.isEmpty());
    cache.setMaxCost(2);
    EXPECT_TRUE(cache.insert(1, nullptr)); // a null object is a valid entry
    EXPECT_TRUE(cache.contains(1));
    EXPECT_EQ(cache.object(1), nullptr);
    EXPECT_TRUE(cache.remove(1));
    EXPECT_FALSE(cache.remove(1));
    // Replacing a key while full does not evict a different entry.
    cache.insert(1, new Tracked(1));
    cache.insert(2, new Tracked(2));
    cache.insert(1, new Tracked(3));
    EXPECT_TRUE(cache.contains(2));
    EXPECT_EQ(cache.object(1)->value, 3);
    EXPECT_EQ(Tracked::alive, 2);
    cache.clear();
    EXPECT_EQ(Tracked::alive, 0);
    EXPECT_EQ(cache.totalCost(), 0);
}

TEST(VelSharedPointerTest, CastsAndCustomDeleters)
{
    struct Base {
        virtual ~Base() = default;
    };
    struct Derived : Base {
        int v = 9;
    };
    const VelSharedPointer<Base> base(new Derived);
    const VelSharedPointer<Derived> derived = base.dynamicCast<Derived>();
    ASSERT_FALSE(derived.isNull());
    EXPECT_EQ(derived->v, 9);
    EXPECT_EQ(base.useCount(), 2);
    struct Other : Base {
    };
    EXPECT_TRUE(base.dynamicCast<Other>().isNull());

    int deleted = 0;
    {
        VelSharedPointer<int> p(new int(1), [&deleted](int *x) {
            ++deleted;
            delete x;
        });
        VelSharedPointer<int> q = p;
    }
    EXPECT_EQ(deleted, 1);
}

TEST(VelCacheTest, ReinsertingTheStoredObjectKeepsItAlive)
{
    Tracked::alive = 0;
    VelCache<int, Tracked> cache(5);
    cache.insert(1, new Tracked(11));
    cache.insert(2, new Tracked(22));
    Tracked *stored = cache.object(1);
    ASSERT_NE(stored, nullptr);
    EXPECT_TRUE(cache.insert(1, stored, 3)); // same object, new cost
    EXPECT_EQ(Tracked::alive, 2);
    EXPECT_EQ(cache.object(1)->value, 11);
    EXPECT_EQ(cache.totalCost(), 4);
}

} // namespace
