// Pins the order of the virtual operations: a host built against these headers and a module built
// against them must agree slot by slot.

#include "host/Host.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Under the Itanium C++ ABI a pointer to a virtual member function holds 1 + the byte offset of
// its entry in the virtual table.
template <typename Member>
long EntryOf(Member member) {
    std::ptrdiff_t raw = 0;
    std::memcpy(&raw, &member, sizeof(raw));
    return static_cast<long>((raw - 1) / static_cast<std::ptrdiff_t>(sizeof(void*)));
}

// A virtual destructor fills two table entries (complete and deleting), so a slot after it sits
// one entry further on.
constexpr long AfterDestructor(long slot) {
    return slot + 1;
}

TEST(SlotOrderTest, RendererSlots) {
    EXPECT_EQ(EntryOf(&Renderer::BeginScene), AfterDestructor(4));
    EXPECT_EQ(EntryOf(&Renderer::EndScene), AfterDestructor(6));
    EXPECT_EQ(EntryOf(&Renderer::LoadTexture), AfterDestructor(9));
    EXPECT_EQ(EntryOf(&Renderer::SetTexture), AfterDestructor(10));
    EXPECT_EQ(EntryOf(&Renderer::CreateVertexBuffer), AfterDestructor(13));
    EXPECT_EQ(EntryOf(&Renderer::CreateIndexBuffer), AfterDestructor(14));
    EXPECT_EQ(EntryOf(&Renderer::SetCamera), AfterDestructor(15));
    EXPECT_EQ(offsetof(Renderer, ClearColor), sizeof(void*) + sizeof(std::uint32_t)); // second member
}

TEST(SlotOrderTest, BufferSlots) {
    EXPECT_EQ(EntryOf(&VertexBuffer::Allocate), AfterDestructor(1));
    EXPECT_EQ(EntryOf(&VertexBuffer::Free), AfterDestructor(2));
    EXPECT_EQ(EntryOf(&VertexBuffer::Append), AfterDestructor(6));
    EXPECT_EQ(EntryOf(&VertexBuffer::Set), AfterDestructor(8));
    EXPECT_EQ(EntryOf(&VertexBuffer::DrawIndexed), AfterDestructor(12));
    EXPECT_EQ(EntryOf(&VertexBuffer::Get), AfterDestructor(13));
    EXPECT_EQ(EntryOf(&IndexBuffer::Allocate), AfterDestructor(1));
    EXPECT_EQ(EntryOf(&IndexBuffer::Free), AfterDestructor(2));
    EXPECT_EQ(EntryOf(&IndexBuffer::Append), AfterDestructor(6));
    EXPECT_EQ(EntryOf(&IndexBuffer::Get), AfterDestructor(9));
    EXPECT_EQ(EntryOf(&IndexBuffer::Select), AfterDestructor(10));
}

TEST(SlotOrderTest, EngineWindowAndListenerSlots) {
    EXPECT_EQ(EntryOf(&EngineInterface::Init), AfterDestructor(1));
    EXPECT_EQ(EntryOf(&EngineInterface::Release), AfterDestructor(2));
    EXPECT_EQ(EntryOf(&EngineInterface::Frame), AfterDestructor(3));
    EXPECT_EQ(EntryOf(&Window::WindowProc), AfterDestructor(1));
    EXPECT_EQ(EntryOf(&Window::PumpMessages), AfterDestructor(2));
    EXPECT_EQ(EntryOf(&KeyboardListener::OnKeyUp), AfterDestructor(1));
    EXPECT_EQ(EntryOf(&KeyboardListener::OnKeyDown), AfterDestructor(2));
    EXPECT_EQ(EntryOf(&MouseListener::OnMouseMove), AfterDestructor(1));
    EXPECT_EQ(EntryOf(&MouseListener::OnMouseButtonDown), AfterDestructor(2));
    EXPECT_EQ(EntryOf(&MouseListener::OnMouseButtonUp), AfterDestructor(3));
}

TEST(SlotOrderTest, MemberOrder) {
    EXPECT_EQ(offsetof(DllInterface, kernel), sizeof(void*));
    EXPECT_LT(offsetof(VertexBuffer, ElementSize), offsetof(VertexBuffer, AllocatedCount));
    EXPECT_LT(offsetof(IndexBuffer, AppendedCount), offsetof(IndexBuffer, AllocatedCount));
    EXPECT_LT(offsetof(Window, Handle), offsetof(Window, X));
    EXPECT_LT(offsetof(Window, Visible), offsetof(Window, KeyboardListeners));
    EXPECT_LT(offsetof(Window, KeyboardListeners), offsetof(Window, MouseListeners));
}

} // namespace
