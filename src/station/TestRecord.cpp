#include "station/TestRecord.h"

#include <openssl/evp.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>

using nlohmann::json;

namespace {

json Number(double v) {
    return std::isfinite(v) ? json(v) : json(nullptr);
}
json Optional(const std::optional<double>& v) {
    return v ? Number(*v) : json(nullptr);
}

double NumberOf(const json& v, double missing) {
    return v.is_number() ? v.get<double>() : missing;
}
std::optional<double> OptionalOf(const json& v) {
    return v.is_number() ? std::optional<double>(v.get<double>()) : std::nullopt;
}

json Values(const std::vector<double>& values) {
    json list = json::array();
    for (double v : values)
        list.push_back(Number(v));
    return list;
}
std::vector<double> ValuesOf(const json& list) {
    std::vector<double> values;
    for (const json& v : list)
        values.push_back(NumberOf(v, std::numeric_limits<double>::quiet_NaN()));
    return values;
}

} // namespace

std::string NewUuid() {
    // Drawn from the system's entropy each time: a generator state held in the process would
    // be copied into every forked station, which would then hand out the same UUIDs.
    std::random_device entropy;
    uint8_t b[16];
    for (int i = 0; i < 16; i += 4) {
        const uint32_t r = entropy();
        for (int k = 0; k < 4; ++k)
            b[i + k] = uint8_t(r >> (8 * k));
    }
    b[6] = uint8_t((b[6] & 0x0F) | 0x40); // version 4
    b[8] = uint8_t((b[8] & 0x3F) | 0x80); // RFC 4122 variant
    char text[37];
    std::snprintf(text, sizeof text,
                  "%02x%02x%02x%02x-%02x%02x-%02x%02x-%02x%02x-%02x%02x%02x%02x%02x%02x", b[0],
                  b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return text;
}

std::string Sha256Hex(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr);
    std::string hex;
    static const char* const kDigits = "0123456789abcdef";
    for (unsigned int i = 0; i < length; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 15];
    }
    return hex;
}

namespace {

std::string UtcText(std::time_t seconds, int millis) {
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[96];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, millis);
    return text;
}

} // namespace

std::string UtcNowText() {
    const auto now = std::chrono::system_clock::now();
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    return UtcText(std::chrono::system_clock::to_time_t(now), int(millis));
}

std::string LocalDayStartText(std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    local.tm_isdst = -1; // midnight may have another offset from UTC than now
    return UtcText(std::mktime(&local), 0);
}

json RecordJson(const CTestRecord& r) {
    json measurements = json::array();
    for (const CMeasurementRecord& m : r.measurements)
        measurements.push_back({{"name", m.name},
                                {"processSha256", m.processHash},
                                {"attempts", m.attempts},
                                {"passed", m.passed},
                                {"devices", m.devices}});
    json checks = json::array();
    for (const CCheckResult& c : r.checks)
        checks.push_back({{"id", c.id},
                          {"measurement", c.measurement},
                          {"kind", c.kind == ECheckKind::Mask ? "mask" : "limit"},
                          {"value", Number(c.value)},
                          {"unit", c.unit},
                          {"lower", Optional(c.lower)},
                          {"upper", Optional(c.upper)},
                          {"margin", Number(c.margin)},
                          {"frequency", Number(c.frequency)},
                          {"passed", c.passed}});
    json curves = json::array();
    for (const CCheckedCurve& c : r.curves)
        curves.push_back({{"id", c.id},
                          {"unit", c.measured.yUnit},
                          {"frequency", Values(c.measured.x)},
                          {"value", Values(c.measured.y)},
                          {"upper", Values(c.upper)},
                          {"lower", Values(c.lower)}});
    return {{"record", "aurivo-test-result/1"},
            {"uuid", r.uuid},
            {"station", r.station},
            {"serial", r.serial},
            {"operator", r.operatorName},
            {"testedAt", r.testedAt},
            {"software", r.software},
            {"plan", r.planName},
            {"planSha256", r.planHash},
            {"verdict", r.passed ? "PASS" : "FAIL"},
            {"measurements", measurements},
            {"checks", checks},
            {"curves", curves}};
}

bool RecordFromJson(const json& j, CTestRecord& record, std::string& error) {
    if (!j.is_object() || j.value("record", "") != "aurivo-test-result/1") {
        error = "not a test result record";
        return false;
    }
    try {
        CTestRecord r;
        r.uuid = j.at("uuid");
        r.station = j.at("station");
        r.serial = j.at("serial");
        r.operatorName = j.at("operator");
        r.testedAt = j.at("testedAt");
        r.software = j.at("software");
        r.planName = j.at("plan");
        r.planHash = j.at("planSha256");
        r.passed = j.at("verdict") == "PASS";
        for (const json& m : j.at("measurements"))
            r.measurements.push_back({m.at("name"), m.at("processSha256"), m.at("attempts"),
                                      m.at("passed"), m.at("devices")});
        for (const json& c : j.at("checks")) {
            CCheckResult check;
            check.id = c.at("id");
            check.measurement = c.at("measurement");
            check.kind = c.at("kind") == "mask" ? ECheckKind::Mask : ECheckKind::Limit;
            check.value = NumberOf(c.at("value"), std::numeric_limits<double>::quiet_NaN());
            check.unit = c.at("unit");
            check.lower = OptionalOf(c.at("lower"));
            check.upper = OptionalOf(c.at("upper"));
            check.margin = NumberOf(c.at("margin"), -std::numeric_limits<double>::infinity());
            check.frequency = NumberOf(c.at("frequency"), std::numeric_limits<double>::quiet_NaN());
            check.passed = c.at("passed");
            r.checks.push_back(check);
        }
        for (const json& c : j.at("curves"))
            r.curves.push_back(
                {c.at("id"),
                 {ValuesOf(c.at("frequency")), ValuesOf(c.at("value")), c.at("unit")},
                 ValuesOf(c.at("upper")),
                 ValuesOf(c.at("lower"))});
        record = std::move(r);
        return true;
    } catch (const json::exception& e) {
        error = std::string("the record is incomplete: ") + e.what();
        return false;
    }
}
