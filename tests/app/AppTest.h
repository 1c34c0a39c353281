// Fixture of the application tests: a whole application, and requests posted and answered as a connection's are.
#pragma once

#include "BoardTest.h"
#include "core/threads/RemoteReplySlot.h"
#include "core/requests/StoreRequests.h"
#include "app/TpZuApplication.h"

#include <memory>
#include <string>
#include <vector>

struct Reply {
    bool answered = false;
    RemoteMsgHeader header;
    std::vector<uint8_t> payload;
    std::string Text() const { return std::string(payload.begin(), payload.end()); }
};

class AppTest : public BoardTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Posts a request as a connection does (origin 1, its reply token) and
    // lets the application handle what is queued.
    Reply Request(uint16_t type, uint16_t cmdId, uint32_t item = 0, uint32_t value = 0,
                  const std::string& payload = std::string());
    // Posts without handling; the reply comes with Collect().
    bool Post(RemoteReplySlot& slot, uint16_t type, uint16_t cmdId, uint32_t item, uint32_t value,
              const std::string& payload, uint32_t origin = Origin::kRemote);
    static Reply Collect(RemoteReplySlot& slot);
    // Presses and releases a key as a client does, times times over.
    void PressKey(uint16_t key, int times = 1);
    // The name of the control holding the main window's focus ("" for none).
    std::string FocusedOnMain() const;

    std::unique_ptr<TpZuApplication> app;
    RemoteReplySlot slot;
};
