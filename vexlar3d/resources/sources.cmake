# Sources of vexlar3d/resources/.
