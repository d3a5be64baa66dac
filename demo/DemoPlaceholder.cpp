// Keeps the demo library non-empty until the first effect lands.
namespace
{
[[maybe_unused]] int placeholder = 0;
}
