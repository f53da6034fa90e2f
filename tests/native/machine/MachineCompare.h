// Two simulated machines hold the same: accounts, token, settings and every
// object with its descriptor bytes and content.
#pragma once

#include <gtest/gtest.h>

#include "platform/Utf16.h"
#include "platform/sim/SimPlatform.h"

namespace vm::sim {

inline void ExpectSameMachine(const SimPlatform& a, const SimPlatform& b) {
    auto accountsA = a.AccountList();
    auto accountsB = b.AccountList();
    ASSERT_EQ(accountsA.size(), accountsB.size());
    for (size_t i = 0; i < accountsA.size(); ++i) {
        EXPECT_EQ(accountsA[i].sid, accountsB[i].sid);
        EXPECT_EQ(accountsA[i].name, accountsB[i].name);
        EXPECT_EQ(accountsA[i].domain, accountsB[i].domain);
        EXPECT_EQ(accountsA[i].use, accountsB[i].use);
        EXPECT_EQ(accountsA[i].members, accountsB[i].members) << ToUtf8(accountsA[i].name);
    }
    Token tokenA = a.TokenSnapshot();
    Token tokenB = b.TokenSnapshot();
    EXPECT_EQ(tokenA.user, tokenB.user);
    EXPECT_EQ(tokenA.defaultOwner, tokenB.defaultOwner);
    ASSERT_EQ(tokenA.groups.size(), tokenB.groups.size());
    for (size_t i = 0; i < tokenA.groups.size(); ++i) {
        EXPECT_EQ(tokenA.groups[i].sid, tokenB.groups[i].sid);
        EXPECT_EQ(tokenA.groups[i].enabled, tokenB.groups[i].enabled);
        EXPECT_EQ(tokenA.groups[i].denyOnly, tokenB.groups[i].denyOnly);
        EXPECT_EQ(tokenA.groups[i].mayOwn, tokenB.groups[i].mayOwn);
    }
    ASSERT_EQ(tokenA.privileges.size(), tokenB.privileges.size());
    for (size_t i = 0; i < tokenA.privileges.size(); ++i) {
        EXPECT_EQ(tokenA.privileges[i].name, tokenB.privileges[i].name);
        EXPECT_EQ(tokenA.privileges[i].enabled, tokenB.privileges[i].enabled);
    }
    EXPECT_EQ(a.IsElevated(), b.IsElevated());
    EXPECT_EQ(a.Is64Bit(), b.Is64Bit());
    EXPECT_EQ(a.WindowsDirectoryPath(), b.WindowsDirectoryPath());
    auto volumesA = a.Volumes();
    auto volumesB = b.Volumes();
    ASSERT_EQ(volumesA.size(), volumesB.size());
    for (size_t i = 0; i < volumesA.size(); ++i) {
        EXPECT_EQ(volumesA[i].letter, volumesB[i].letter);
        EXPECT_EQ(volumesA[i].fileSystem, volumesB[i].fileSystem);
    }
    auto objectsA = a.Objects();
    auto objectsB = b.Objects();
    ASSERT_EQ(objectsA.size(), objectsB.size());
    for (size_t i = 0; i < objectsA.size(); ++i) {
        const SimPlatform::ObjectInfo& x = objectsA[i];
        const SimPlatform::ObjectInfo& y = objectsB[i];
        SCOPED_TRACE(ToUtf8(x.path));
        EXPECT_EQ(x.path, y.path);
        EXPECT_EQ(x.kind, y.kind);
        EXPECT_EQ(x.attributes, y.attributes);
        EXPECT_EQ(x.creationTime, y.creationTime);
        EXPECT_EQ(x.lastWriteTime, y.lastWriteTime);
        EXPECT_EQ(x.size, y.size);
        EXPECT_EQ(x.junctionTarget, y.junctionTarget);
        EXPECT_EQ(x.content, y.content);
        ASSERT_EQ(x.security.has_value(), y.security.has_value());
        if (x.security) {
            EXPECT_EQ(x.security->ToSelfRelative(), y.security->ToSelfRelative());
            EXPECT_EQ(x.security->control, y.security->control);
        }
    }
}

}  // namespace vm::sim
