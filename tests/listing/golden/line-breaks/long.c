x = f(alpha, alpha, alpha, alpha, alpha, alpha, alpha, alpha, alpha, alpha, alpha, alpha, omega);
y = 1; // word word word word word word word word word word word word word word word word word word word word 
ppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppp{qqqqqqqqqqqqqqqqqqqq
pppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppp\qqqqqqqqqqqqqqqqqqqqqqqqq
