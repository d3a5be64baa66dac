# Sources of vexlar3d/timeline/.
