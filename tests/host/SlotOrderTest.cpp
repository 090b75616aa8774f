// Pins the order of the virtual operations and of the members a host and a module both reach: a
// host built against these headers and a module built against them must agree slot by slot.

#include "host/Host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

// Under the Itanium C++ ABI a pointer to a virtual member function holds 1 + the byte offset of
// its entry in the virtual table. A virtual destructor fills two entries (complete and deleting),
// counted here as one slot.
template <typename Member>
long SlotOf(Member member) {
    std::ptrdiff_t raw = 0;
    std::memcpy(&raw, &member, sizeof(raw));
    return static_cast<long>((raw - 1) / static_cast<std::ptrdiff_t>(sizeof(void*))) - 1;
}

TEST(SlotOrderTest, EveryOperationAndSharedMemberSitsInItsPlace) {
    // clang-format off
    EXPECT_EQ((std::vector{SlotOf(&Renderer::BeginScene), SlotOf(&Renderer::EndScene), SlotOf(&Renderer::LoadTexture),
        SlotOf(&Renderer::SetTexture), SlotOf(&Renderer::CreateVertexBuffer), SlotOf(&Renderer::CreateIndexBuffer),
        SlotOf(&Renderer::SetCamera), SlotOf(&VertexBuffer::Allocate), SlotOf(&VertexBuffer::Free),
        SlotOf(&VertexBuffer::Append), SlotOf(&VertexBuffer::Set), SlotOf(&VertexBuffer::DrawIndexed),
        SlotOf(&VertexBuffer::Get), SlotOf(&IndexBuffer::Allocate), SlotOf(&IndexBuffer::Free),
        SlotOf(&IndexBuffer::Append), SlotOf(&IndexBuffer::Get), SlotOf(&IndexBuffer::Select),
        SlotOf(&EngineInterface::Init), SlotOf(&EngineInterface::Release), SlotOf(&EngineInterface::Frame),
        SlotOf(&Window::WindowProc), SlotOf(&Window::PumpMessages), SlotOf(&KeyboardListener::OnKeyUp),
        SlotOf(&KeyboardListener::OnKeyDown), SlotOf(&MouseListener::OnMouseMove),
        SlotOf(&MouseListener::OnMouseButtonDown), SlotOf(&MouseListener::OnMouseButtonUp)}),
        (std::vector<long>{4, 6, 9, 10, 13, 14, 15, 1, 2, 6, 8, 12, 13, 1, 2, 6, 9, 10, 1, 2, 3, 1, 2, 1, 2, 1, 2, 3}));
    // clang-format on
    EXPECT_EQ(offsetof(Renderer, ClearColor), sizeof(void*) + sizeof(std::uint32_t)); // its second member
    EXPECT_EQ(offsetof(DllInterface, kernel), sizeof(void*));
    EXPECT_TRUE(offsetof(VertexBuffer, ElementSize) < offsetof(VertexBuffer, AllocatedCount) &&
                offsetof(IndexBuffer, AppendedCount) < offsetof(IndexBuffer, AllocatedCount) &&
                offsetof(Window, Handle) < offsetof(Window, X) &&
                offsetof(Window, Visible) < offsetof(Window, KeyboardListeners) &&
                offsetof(Window, KeyboardListeners) < offsetof(Window, MouseListeners));
}
