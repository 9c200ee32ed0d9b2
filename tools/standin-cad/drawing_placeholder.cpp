// Placeholder until the drawing model lands.
