#pragma once

// The receiver's channels, one for each clamp meter it hears.
constexpr int ChannelCount = 6;
