#include "framework/application.h"

#include "framework/backend.h"

namespace linkmate::fw {

Application::Application(char** argv, const std::string& name, const std::string& version)
    : m_peer(backend::StartApplication(argv, name, version)) {}
Application::~Application() { backend::JoinBackgroundWork(); }

WaitCursor::WaitCursor() : m_peer(backend::ShowWaitCursor()) {}
WaitCursor::~WaitCursor() = default;

Timer::Timer() : m_peer(backend::CreateTimer()) {}
Timer::~Timer() = default;
void Timer::Start(std::chrono::milliseconds interval, bool repeat, std::function<void()> tick) {
    m_peer->Start(interval, repeat, std::move(tick));
}
void Timer::Stop() { m_peer->Stop(); }
bool Timer::IsActive() const { return m_peer->IsActive(); }

}  // namespace linkmate::fw
