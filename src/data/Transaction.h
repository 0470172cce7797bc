#pragma once
#include "Connection.h"

#include <memory>

// Every write of the program runs inside one of these: the writes are stored
// together by commit(), or not at all when the object goes out of scope first
// (an exception on the way, say).
class Transaction {
public:
    explicit Transaction(std::shared_ptr<Connection> connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    std::shared_ptr<Connection> m_connection;
    bool m_open = false;
};
