#include "vexlar3d/sync/T_SyncTrack.h"

#include <algorithm>
#include <cmath>

namespace
{
bool RowBefore(const T_SyncTrack::Key& key, std::uint32_t row)
{
    return key.row < row;
}
} // namespace

T_SyncTrack::T_SyncTrack(const std::string& name, const double* rowsPerSecond)
    : m_name(name), m_rowsPerSecond(rowsPerSecond)
{
}

bool T_SyncTrack::ValidKey(const Key& key)
{
    return key.row <= maxRow && key.interpolation < interpolationCount && std::isfinite(key.value);
}

bool T_SyncTrack::SetKey(const Key& key)
{
    if (!ValidKey(key))
        return false;
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key.row, RowBefore);
    if (at != m_keys.end() && at->row == key.row)
    {
        *at = key;
        return true;
    }
    if (m_keys.size() >= maxKeys)
        return false;
    m_keys.insert(at, key);
    return true;
}

bool T_SyncTrack::DeleteKey(std::uint32_t row)
{
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), row, RowBefore);
    if (at == m_keys.end() || at->row != row)
        return false;
    m_keys.erase(at);
    m_cursor = 0;
    return true;
}

bool T_SyncTrack::SetKeys(std::vector<Key> keys)
{
    if (keys.size() > maxKeys)
        return false;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (!ValidKey(keys[i]) || (i > 0 && keys[i - 1].row >= keys[i].row))
            return false;
    m_keys = std::move(keys);
    m_cursor = 0;
    return true;
}

void T_SyncTrack::Clear()
{
    m_keys.clear();
    m_cursor = 0;
}

float T_SyncTrack::Interpolate(const Key& from, const Key& to, double t)
{
    switch (from.interpolation)
    {
    case Linear:
        break;
    case Smooth:
        t = t * t * (3.0 - 2.0 * t);
        break;
    case Ramp:
        t = t * t;
        break;
    default:
        return from.value;
    }
    return static_cast<float>(from.value + (static_cast<double>(to.value) - from.value) * t);
}

float T_SyncTrack::GetValue(double row)
{
    const std::size_t count = m_keys.size();
    if (count == 0)
        return 0.0f;
    // Not after the first key (or not a number): the first value.
    if (!(row > m_keys.front().row))
        return m_keys.front().value;
    if (row >= m_keys.back().row)
        return m_keys.back().value;

    // Find i with key i at or before the row and key i + 1 after it: the
    // remembered key or its successor when the time moved on a little, a
    // binary search when it jumped.
    std::size_t i = std::min(m_cursor, count - 2);
    if (!(m_keys[i].row <= row && row < m_keys[i + 1].row))
    {
        if (i + 2 < count && m_keys[i + 1].row <= row && row < m_keys[i + 2].row)
            ++i;
        else
        {
            // row < back().row <= maxRow, so the floor fits a row.
            const auto after = std::upper_bound(m_keys.begin(), m_keys.end(), static_cast<std::uint32_t>(row),
                                                [](std::uint32_t r, const Key& key) { return r < key.row; });
            i = static_cast<std::size_t>(after - m_keys.begin()) - 1;
        }
    }
    m_cursor = i;
    const Key& from = m_keys[i];
    const Key& to = m_keys[i + 1];
    return Interpolate(from, to, (row - from.row) / static_cast<double>(to.row - from.row));
}
