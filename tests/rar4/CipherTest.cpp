// The RAR 2.0 cipher: block round trip, key schedule dependence on the
// password, and the streaming wrapper's handling of odd read sizes.
#include <gtest/gtest.h>

#include "Rar4TestArchive.h"
#include "rar/unpack4/Rar20Cipher.h"

using namespace rar4test;

TEST(Rar20Cipher, EncryptThenDecryptRestoresTheData) {
    for (const std::string& pw : std::vector<std::string>{"", "password", "a", std::string(127, 'x'), std::string(200, 'y')}) {
        std::vector<uint8_t> data(16 * 9);
        for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 31 + 7);
        std::vector<uint8_t> enc = data;
        rar::Rar20Cipher e(pw);
        for (size_t i = 0; i < enc.size(); i += 16) e.EncryptBlock(&enc[i]);
        EXPECT_NE(enc, data);
        rar::Rar20Cipher d(pw);
        d.Decrypt(enc.data(), enc.size());
        EXPECT_EQ(enc, data) << "password length " << pw.size();
    }
}

TEST(Rar20Cipher, WrongPasswordGivesOtherBytes) {
    std::vector<uint8_t> data(64, 0x41), a = data, b = data;
    rar::Rar20Cipher("password").Decrypt(a.data(), a.size());
    rar::Rar20Cipher("passwore").Decrypt(b.data(), b.size());
    EXPECT_NE(a, b);
}

TEST(Rar20Cipher, StreamingWrapperMatchesBlockDecryption) {
    std::vector<uint8_t> data(16 * 20 + 5);
    for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i ^ 0x5a);
    std::vector<uint8_t> want = data;
    rar::Rar20Cipher("pw").Decrypt(want.data(), want.size() - 5);  // a short tail stays as is
    for (size_t piece : {1u, 3u, 16u, 17u, 1000u}) {
        rar::MemoryInput raw(data, piece);
        rar::Rar20DecryptingInput in(raw, "pw");
        std::vector<uint8_t> got;
        uint8_t buf[23];
        long n;
        while ((n = in.Read(buf, sizeof(buf))) > 0) got.insert(got.end(), buf, buf + n);
        EXPECT_EQ(got, want) << "piece " << piece;
    }
}
