#pragma once

namespace nebulo {

// The decoder study: Qt's PNG reader against every packaged decoder this
// build found, first whether each decodes the same pixels (on the pictures
// timed and on a conformance suite, one line a file on standard error), then
// how fast, as pairwise ratios on the round-trip check's picture, noise, a
// drawn screen and the README's screenshot.
void RegisterDecoderStudy();

} // namespace nebulo
