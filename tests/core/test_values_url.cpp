#include "velhash.h"
#include "velset.h"
#include "velurl.h"
#include "veluuid.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const VelString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

void PrintTo(const VelByteArray &b, std::ostream *os)
{
    *os << '"' << b.toStdString() << '"';
}

namespace
{

TEST(VelUrlTest, ComponentsAreParsed)
{
    const VelUrl url("HTTP://user:pw@Example.COM:8080/a/b?x=1&y=2#frag");
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.scheme(), VelString("http"));
    EXPECT_EQ(url.userName(), VelString("user"));
    EXPECT_EQ(url.password(), VelString("pw"));
    EXPECT_EQ(url.host(), VelString("example.com"));
    EXPECT_EQ(url.port(), 8080);
    EXPECT_EQ(url.path(), VelString("/a/b"));
    EXPECT_EQ(url.query(), VelString("x=1&y=2"));
    EXPECT_EQ(url.fragment(), VelString("frag"));
    EXPECT_EQ(url.toString(), VelString("http://user:pw@example.com:8080/a/b?x=1&y=2#frag"));
    EXPECT_EQ(url.toDisplayString(), VelString("http://user@example.com:8080/a/b?x=1&y=2#frag"));

    const VelUrl mail("mailto:someone@example.com?subject=hi");
    EXPECT_EQ(mail.scheme(), VelString("mailto"));
    EXPECT_EQ(mail.path(), VelString("someone@example.com"));
    EXPECT_EQ(mail.toEncoded(), VelByteArray("mailto:someone@example.com?subject=hi"));

    EXPECT_FALSE(VelUrl("").isValid());
    EXPECT_TRUE(VelUrl("").isEmpty());
    EXPECT_FALSE(VelUrl("http://host:99999/").isValid());
    EXPECT_FALSE(VelUrl("http://host:8x/").isValid());
    EXPECT_FALSE(VelUrl("http://bad host/").isValid());
    EXPECT_TRUE(VelUrl("relative/path").isRelative());
}

TEST(VelUrlTest, SpacesAndNonAsciiAreFullyEncoded)
{
    const VelUrl url(VelString(u"http://example.com/a b/\u00e4?q=x y#f g"));
    ASSERT_TRUE(url.isValid());
    // One token: no blank survives in the encoded form.
    EXPECT_EQ(url.toEncoded(), VelByteArray("http://example.com/a%20b/%C3%A4?q=x%20y#f%20g"));
    EXPECT_EQ(url.toEncoded().indexOf(' '), -1);
    // The shown form decodes them again.
    EXPECT_EQ(url.toString(), VelString(u"http://example.com/a b/\u00e4?q=x y#f g"));
    EXPECT_EQ(url.path(), VelString(u"/a b/\u00e4"));

    // Already encoded input keeps its meaning; unreserved escapes are decoded.
    const VelUrl encoded = VelUrl::fromEncoded("http://example.com/%7euser/a%2Fb%20c?%3d");
    EXPECT_EQ(encoded.toEncoded(), VelByteArray("http://example.com/~user/a%2Fb%20c?%3D"));
    EXPECT_EQ(encoded.toString(), VelString("http://example.com/~user/a%2Fb c?%3D"));
    EXPECT_EQ(encoded.path(), VelString("/~user/a/b c"));
    EXPECT_EQ(encoded, VelUrl(encoded.toString()));

    // A stray '%' is a literal percent sign in tolerant mode and an error in strict mode.
    EXPECT_EQ(VelUrl("http://h/100%").toEncoded(), VelByteArray("http://h/100%25"));
    EXPECT_FALSE(VelUrl("http://h/a b", VelUrl::StrictMode).isValid());
    EXPECT_TRUE(VelUrl("http://h/a%20b", VelUrl::StrictMode).isValid());

    // Non-ASCII host names are encoded with IDNA.
    EXPECT_EQ(VelUrl(VelString(u"http://b\u00fccher.example/")).toEncoded(),
              VelByteArray("http://xn--bcher-kva.example/"));
}

TEST(VelUrlTest, LocalFiles)
{
    const VelUrl file = VelUrl::fromLocalFile(VelString("/tmp/my file#1?.txt"));
    EXPECT_TRUE(file.isLocalFile());
    EXPECT_EQ(file.toEncoded(), VelByteArray("file:///tmp/my%20file%231%3F.txt"));
    EXPECT_EQ(file.toLocalFile(), VelString("/tmp/my file#1?.txt"));
    EXPECT_EQ(VelUrl("file:///home/u/x%2520y").toLocalFile(), VelString("/home/u/x%20y"));
    EXPECT_EQ(VelUrl("file://server/share/f").toLocalFile(), VelString("//server/share/f"));
    EXPECT_TRUE(VelUrl("http://h/f").toLocalFile().isEmpty());
    EXPECT_EQ(VelUrl::fromLocalFile(VelString("100%")).toEncoded(), VelByteArray("file:100%25"));
}

TEST(VelUuidTest, RandomVersionFourAndTextForm)
{
    const VelUuid a = VelUuid::createUuid();
    const VelUuid b = VelUuid::createUuid();
    EXPECT_FALSE(a.isNull());
    EXPECT_NE(a, b);
    EXPECT_EQ(a.version(), 4);
    EXPECT_EQ((uchar(a.toRfc4122().at(8)) & 0xc0), 0x80);

    const VelString text = a.toString();
    ASSERT_EQ(text.length(), 38);
    EXPECT_EQ(text.at(0), VelChar('{'));
    EXPECT_EQ(text.at(37), VelChar('}'));
    EXPECT_EQ(text.at(9), VelChar('-'));
    EXPECT_EQ(text.at(15), VelChar('4'));
    EXPECT_EQ(VelUuid(text), a);
    EXPECT_EQ(a.toByteArray(), text.toLatin1());
    EXPECT_EQ(VelUuid::fromRfc4122(a.toRfc4122()), a);

    EXPECT_EQ(VelUuid(VelString("12345678-9ABC-4DEF-8123-456789ABCDEF")).toString(),
              VelString("{12345678-9abc-4def-8123-456789abcdef}"));
    EXPECT_TRUE(VelUuid(VelString("{12345678-9abc-4def-8123-456789abcdeg}")).isNull());
    EXPECT_TRUE(VelUuid().isNull());

    VelSet<VelByteArray> seen;
    for (int i = 0; i < 1000; ++i)
        seen.insert(VelUuid::createUuid().toByteArray());
    EXPECT_EQ(seen.size(), 1000);
}

TEST(VelUrlTest, AuthorityEdgeCasesAndSetters)
{
    const VelUrl v6("http://[::1]:8080/x");
    ASSERT_TRUE(v6.isValid());
    EXPECT_EQ(v6.host(), VelString("[::1]"));
    EXPECT_EQ(v6.port(), 8080);
    EXPECT_EQ(VelUrl("http://h/").port(80), 80); // the default when none is given
    EXPECT_FALSE(VelUrl("http://[::1/").isValid());

    const VelUrl userInfo("ftp://us%40er:p:w@host/");
    EXPECT_EQ(userInfo.userName(), VelString("us@er"));
    EXPECT_EQ(userInfo.password(), VelString("p:w"));
    EXPECT_EQ(userInfo.toEncoded(), VelByteArray("ftp://us%40er:p:w@host/"));

    // '?' is fine inside a fragment, '#' inside a query is not.
    const VelUrl frag("http://h/p#a?b");
    EXPECT_FALSE(frag.hasQuery());
    EXPECT_EQ(frag.fragment(), VelString("a?b"));

    VelUrl built;
    built.setScheme(VelString("HTTPS"));
    built.setHost(VelString("Example.org"));
    built.setPath(VelString("/50% off/a#b"));
    built.setQuery(VelString("q=a&b#c"));
    ASSERT_TRUE(built.isValid());
    EXPECT_EQ(built.toEncoded(), VelByteArray("https://example.org/50%25%20off/a%23b?q=a&b%23c"));
    EXPECT_EQ(VelUrl::fromEncoded(built.toEncoded()).path(), VelString("/50% off/a#b"));
    built.setScheme(VelString("1bad"));
    EXPECT_FALSE(built.isValid());

    VelHash<VelUrl, int> byUrl;
    byUrl.insert(VelUrl("http://h/a b"), 1);
    EXPECT_EQ(byUrl.value(VelUrl("http://h/a%20b")), 1); // same URL, other spelling
}

} // namespace
