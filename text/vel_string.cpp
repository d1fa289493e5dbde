// VelString (being written).
