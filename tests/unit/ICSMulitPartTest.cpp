// The API's request object: the body byte for byte, the language headers, gzip
// answers (decoded in any case, refused when damaged or far too large), upload
// progress and failures, against the API stand-in, which checks every request it gets.
#include "services/ICSMulitPart.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>

#include "services/GzipDecode.h"
#include "services/RequestLanguage.h"
#include "services/RequestSigning.h"
#include "tests/support/ApiStandIn.h"
#include "tests/unit/FakeOs.h"

using namespace std::chrono_literals;

namespace {

const std::string kBoundary = "--------030524140709042";  // FakeClock: 2024-03-05 14:07:09.042

TEST(MultipartBody, IsLaidOutByteForByte) {
    FakeOs os;
    auto loop = MakeEventLoop();
    CurlMulti multi(*loop);
    TICSMulitPart request(multi, os.services);
    EXPECT_EQ(request.Boundary, kBoundary);
    EXPECT_EQ(request.ContentType(), "multipart/form-data; boundary=" + kBoundary);
    request.AddField("signed_body", "abc.DEF=");
    request.AddField("sign_version", "1");
    const std::string expected =
        "--" + kBoundary + "\r\n"
        "Content-Disposition: form-data; name=\"signed_body\"\r\n"
        "Content-Type: text/plain\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n"
        "\r\n"
        "abc.DEF=\r\n"
        "--" + kBoundary + "\r\n"
        "Content-Disposition: form-data; name=\"sign_version\"\r\n"
        "Content-Type: text/plain\r\n"
        "Content-Transfer-Encoding: quoted-printable\r\n"
        "\r\n"
        "1\r\n"
        "\r\n--" + kBoundary + "--\r\n";
    EXPECT_EQ(request.FinishBody(), expected);
    EXPECT_EQ(request.FinishBody(), expected) << "the closing delimiter is appended once";
    EXPECT_EQ(expected.substr(0, 10), "----------");

    // A field added after finishing still lands inside the form.
    request.AddField("late", "x");
    const std::string closing = "\r\n--" + kBoundary + "--\r\n";
    EXPECT_EQ(request.FinishBody().substr(request.Body.size() - closing.size()), closing);
    EXPECT_NE(request.Body.find("name=\"late\"\r\n"), std::string::npos);
    EXPECT_EQ(request.Body.find(closing), request.Body.size() - closing.size());
}

TEST(MultipartBody, BoundaryFallsBackWhenTheClockIsBroken) {
    FakeOs os;
    os.clock.now.month = 13;
    auto loop = MakeEventLoop();
    CurlMulti multi(*loop);
    EXPECT_EQ(TICSMulitPart(multi, os.services).Boundary, "--------0823094600263");
}

struct TagCase {
    std::uint16_t id;
    const char *language, *country, *tag;
};

class LanguageTagTable : public ::testing::TestWithParam<TagCase> {};

TEST_P(LanguageTagTable, FollowsTheApiRules) {
    const TagCase& c = GetParam();
    FakeLocale locale;
    locale.systemLanguageId = c.id;
    locale.isoNames = {{c.id, {c.language, c.country}}};
    EXPECT_EQ(LanguageTag(locale), c.tag);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LanguageTagTable,
    ::testing::Values(TagCase{0x0414, "nb", "NO", "no"},   // Norwegian Bokmål: the country alone
                      TagCase{0x0814, "nn", "NO", "no"},   // Nynorsk
                      TagCase{0x0419, "ru", "RU", "ru"},   // listed, yet the language alone
                      TagCase{0x0418, "ro", "RO", "ro"}, TagCase{0x043C, "ga", "IE", "ga"},
                      TagCase{0x0416, "pt", "BR", "pt-br"}, TagCase{0x0411, "ja", "JP", "ja"},
                      TagCase{0x0401, "ar", "SA", "ar-sa"}, TagCase{0x0409, "en", "US", "en-us"},
                      TagCase{0x0804, "zh", "CN", "zh-cn"}, TagCase{0x0415, "pl", "PL", "pl"},
                      TagCase{0x0C0C, "FR", "CA", "fr-ca"},  // compared without regard to case
                      TagCase{0x0407, "", "", "en-us"}));    // the system names nothing

TEST(AcceptLanguage, IsTheUsersLocaleAsTheSystemWritesIt) {
    FakeLocale locale;
    locale.userLocaleId = 0x0416;
    locale.isoNames = {{0x0416, {"pt", "BR"}}, {0x0409, {"en", "US"}}};
    EXPECT_EQ(AcceptLanguageValue(locale), "pt-BR");
    locale.isoNames = {{0x0416, {"pt", ""}}};
    EXPECT_EQ(AcceptLanguageValue(locale), "pt");
    locale.isoNames.clear();
    EXPECT_EQ(AcceptLanguageValue(locale), "") << "no header rather than a malformed one";
}

std::string Gzip(const std::string& data, int members = 1) {
    std::string out;
    for (int m = 0; m < members; ++m) {
        z_stream z{};
        deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::string member(compressBound(static_cast<uLong>(data.size())) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        z.avail_in = static_cast<uInt>(data.size());
        z.next_out = reinterpret_cast<Bytef*>(member.data());
        z.avail_out = static_cast<uInt>(member.size());
        deflate(&z, Z_FINISH);
        member.resize(z.total_out);
        deflateEnd(&z);
        out += member;
    }
    return out;
}

TEST(GzipDecode, DecodesWholeMembersAndRefusesEverythingElse) {
    const std::string text = R"({"status":"ok","data":{"server_time":1}})";
    const std::string packed = Gzip(text);
    EXPECT_EQ(GzipDecode(packed, 1000), text);
    EXPECT_EQ(GzipDecode(Gzip(text, 2), 1000), text + text) << "members one after the other";
    EXPECT_EQ(GzipDecode(Gzip(""), 10), "");

    std::string damaged = packed;
    damaged[damaged.size() - 6] ^= 0x55;  // inside the CRC-32
    const std::string bomb = Gzip(std::string(4u << 20, '\0'));
    struct {
        const char* what;
        std::string input;
        std::size_t limit;
    } refused[] = {{"truncated", packed.substr(0, packed.size() - 3), 1000},
                   {"cut inside the data", packed.substr(0, 15), 1000},
                   {"checksum", damaged, 1000},
                   {"not gzip", text, 1000},
                   {"empty", "", 1000},
                   {"zlib, not gzip", std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8), 1000},
                   {"over the limit", bomb, 1u << 20},
                   {"trailing garbage", packed + "xyz", 1000}};
    for (const auto& c : refused) EXPECT_EQ(GzipDecode(c.input, c.limit), std::nullopt) << c.what;
    EXPECT_LT(bomb.size(), 8192u) << "a few KB that would make megabytes";
}

// The stand-in for every test of this program; each test configures it first.
class MultipartRequest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new ApiStandIn(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    static ApiStandIn* server;

    // A request the stand-in accepts as a base-info call of this client.
    void AddBaseInfoFields(TICSMulitPart& request, const std::string& host) {
        const std::string text = R"({"device_id":"0123456789abcdef0123456789abcdef","origin":"browser",)"
                                 R"("channel":"browser","client_type":3,"AppVer":"3.0.0.0","api_version":"3",)"
                                 R"("base_url":")" + host + R"(","lan":"en","email":"ann@example.com"})";
        request.AddField("signed_body", BuildSignedBody(text));
        request.AddField("sign_version", "1");
    }
    std::string HostOf(const std::string& url) { return url.substr(url.find("//") + 2); }

    FakeOs os;
    std::unique_ptr<EventLoop> loop = MakeEventLoop();
    CurlMulti multi{*loop};
};
ApiStandIn* MultipartRequest::server = nullptr;

TEST_F(MultipartRequest, AnswersComePlainOrGzipDecodedInAnyCase) {
    const std::string answer = "{\"status\":\"ok\",\"text\":\"gr\xC3\xBC\xC3\x9F \xE4\xB8\xAD\"}";
    struct Case {
        const char* config;
        const char* scheme;
    } cases[] = {{"", "http"},
                 {"encoding_name=identity", "http"},
                 {"gzip=1", "http"},
                 {"gzip=1&encoding_name=GZIP", "http"},
                 {"gzip=1&encoding_name=Gzip", "https"},
                 {"", "https"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.scheme) + " " + c.config);
        server->Configure(std::string("answer=raw&raw=") + UrlEncodeUtf8(answer) + "&" + c.config);
        const std::string host = std::string(c.scheme) == "https" ? server->HttpsHost() : server->HttpHost();
        TICSMulitPart request(multi, os.services);
        request.SslContext->caFile = server->CaFile().string();
        AddBaseInfoFields(request, HostOf(host));
        std::vector<int> progress;
        std::string output;
        const int status = request.PostGzip(host + "/base-info/info", output, 10,
                                            [&](TICSMulitPart&, int percent) { progress.push_back(percent); });
        EXPECT_EQ(status, 200);
        EXPECT_EQ(output, answer);
        EXPECT_EQ(request.SocketError, 0);
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        EXPECT_EQ(request.SentBytes, request.TotalBytes);

        const auto requests = server->Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_TRUE(requests[0]["ok"].get<bool>()) << requests[0]["errors"].dump();
        EXPECT_EQ(requests[0]["body_bytes"], request.Body.size());
    }
}

TEST_F(MultipartRequest, DamagedOrOversizedGzipFailsCleanly) {
    for (const char* config : {"gzip=1&gzip_truncate=20", "gzip=1&gzip_bomb=64", "gzip=1&gzip_truncate=3"}) {
        SCOPED_TRACE(config);
        server->Configure(config);
        TICSMulitPart request(multi, os.services);
        AddBaseInfoFields(request, HostOf(server->HttpHost()));
        std::string output = "untouched";
        EXPECT_THROW(request.PostGzip(server->HttpHost() + "/base-info/info", output, 10), EAnswerDecodeError);
        EXPECT_EQ(output, "untouched");
        EXPECT_EQ(request.StatusCode(), 200) << "readable after the failure";
    }
}

TEST_F(MultipartRequest, AnswerLargerThanAnyRealOneIsRefused) {
    server->Configure("pad=" + std::to_string(TICSMulitPart::kMaxAnswerBytes));
    TICSMulitPart request(multi, os.services);
    AddBaseInfoFields(request, HostOf(server->HttpHost()));
    std::string output;
    EXPECT_THROW(request.PostGzip(server->HttpHost() + "/base-info/info", output, 10), ETransportError);
    EXPECT_EQ(request.SocketError, kHttpCurlErrorBase + CURLE_FILESIZE_EXCEEDED);

    server->Configure("pad=100000");  // large, but within reason
    TICSMulitPart fine(multi, os.services);
    AddBaseInfoFields(fine, HostOf(server->HttpHost()));
    EXPECT_EQ(fine.PostGzip(server->HttpHost() + "/base-info/info", output, 10), 200);
    EXPECT_EQ(output.size(), output.find_last_not_of(' ') + 1 + 100000);
}

TEST_F(MultipartRequest, PlainPostSendsTheCallersBodyWithItsType) {
    server->Configure("params_answer=thanks");
    TICSMulitPart request(multi, os.services);
    request.SetContentType("  application/x-www-form-urlencoded ");
    const std::string body = ScrambleText(R"({"app":"zyr3color"})");
    std::string received;
    EXPECT_EQ(request.Post(server->HttpHost() + "/multi_app_lang.php?action=insert", &body, &received), 200);
    EXPECT_EQ(received, "thanks");
    EXPECT_EQ(request.Post(server->HttpHost() + "/x", nullptr, &received), -1) << "no send stream";
    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0]["ok"].get<bool>()) << requests[0]["errors"].dump();
    EXPECT_EQ(requests[0]["request_json"], R"({"app":"zyr3color"})");
}

TEST_F(MultipartRequest, RefusedConnectionRaisesWithTheSocketError) {
    TICSMulitPart request(multi, os.services);
    AddBaseInfoFields(request, "x");
    std::string output;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_THROW(
        request.PostGzip("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/base-info/info", output, 10),
        ETransportError);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_EQ(request.SocketError, ECONNREFUSED);
    EXPECT_EQ(request.StatusCode(), 0);
}

}  // namespace
