#pragma once

namespace vorlo::auxiliary {

// Each stops and then closes one alias that the program never opens itself.
void CloseSoundAlias();
void CloseMovieAlias();
void CloseMidiAlias();

} // namespace vorlo::auxiliary
