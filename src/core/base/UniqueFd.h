#pragma once

#include <unistd.h>

namespace quarvo {

// A file descriptor that is closed with the object. Move-only; an empty one holds -1.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            closeHeld();
            m_fd = other.release();
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { closeHeld(); }

    int get() const { return m_fd; }
    // Gives the descriptor up without closing it; the object is empty afterwards.
    int release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    explicit operator bool() const { return m_fd >= 0; }

  private:
    void closeHeld()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int m_fd = -1;
};

} // namespace quarvo
