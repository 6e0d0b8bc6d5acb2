#pragma once

#include <memory>
#include <string>

class IAutomationHost;

// The program's automation on the D-Bus session bus: the service
// "Drel.Application" with the object "/Application" (interface of the
// same name), and "DrelR.Application" with "/Application", its
// transmitter "/Transmitter" and receiver "/Receiver" (interface
// "DrelR.TxObj"); "/" stands for no object. Calls run on the interface
// thread, only for the user the program runs as, one at a time: a call
// that arrives while another runs (one that pumps events) is answered
// with the error "Drel.Error.Busy".
class CAutomationServer {
public:
    static constexpr const char* kService = "Drel.Application";
    static constexpr const char* kRadioService = "DrelR.Application";
    static constexpr const char* kTxInterface = "DrelR.TxObj";
    static constexpr const char* kBusyError = "Drel.Error.Busy";
    static constexpr const char* kReadOnlyText = "Unable to write read-only property.";

    explicit CAutomationServer(IAutomationHost& host);
    ~CAutomationServer();
    CAutomationServer(const CAutomationServer&) = delete;
    CAutomationServer& operator=(const CAutomationServer&) = delete;

    // Takes both names on the bus at the address (empty: the session
    // bus). False, with nothing registered, when there is no bus or a
    // name is taken (another instance serves it).
    bool Register(const std::string& busAddress = {});
    void Unregister();
    bool IsRegistered() const;

    // The user id callers must have (the process's own by default).
    void SetOwnUidForTesting(unsigned uid);

    class CImpl;

private:
    std::unique_ptr<CImpl> m_impl;
};
